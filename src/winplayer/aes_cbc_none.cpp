// Outside Windows the player's stream code is built for its tests only, which bring a cipher of
// their own.

#include "winplayer/segment_decryption.h"

namespace lumio::win {

std::unique_ptr<Aes128Cbc> MakeSystemAes128Cbc() {
  return nullptr;
}

}  // namespace lumio::win

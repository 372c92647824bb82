// Outside Windows the player's stream code is built for its tests only, which bring a cipher of
// their own.

#include "winplayer/aes_cbc.h"

namespace lumio::win {

std::unique_ptr<hls::Aes128Cbc> MakeSystemAes128Cbc() {
  return nullptr;
}

}  // namespace lumio::win

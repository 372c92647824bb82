#pragma once
// The AES cipher the Windows player decrypts HLS with: the system's (BCrypt).

#include <memory>

#include "hls/segment_decryption.h"

namespace lumio::win {

// Null where the system has none to give (and outside Windows, where the player's stream code is
// built for its tests only).
std::unique_ptr<hls::Aes128Cbc> MakeSystemAes128Cbc();

}  // namespace lumio::win

#pragma once
// The AES cipher the Linux player decrypts HLS with: libcrypto's, which every Debian system has.

#include <memory>

#include "hls/segment_decryption.h"

namespace lumio::gst {

// Null when libcrypto cannot give one.
std::unique_ptr<hls::Aes128Cbc> MakeOpenSslAes128Cbc();

}  // namespace lumio::gst

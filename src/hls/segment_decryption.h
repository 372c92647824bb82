#pragma once
// The decryption of an HLS stream encrypted with METHOD=AES-128: each segment is AES-128 in CBC
// mode with PKCS7 padding. The cipher itself is the platform's (BCrypt on Windows, libcrypto on
// Linux), behind a face a test can fake; the streaming around it is here, so that a long segment
// is decrypted as it arrives and never held whole.

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace lumio::hls {

class Aes128Cbc {
 public:
  virtual ~Aes128Cbc() = default;
  // Takes the 16-byte `key` for what follows; false when the cipher refuses it.
  virtual bool SetKey(std::string_view key) = 0;
  // Decrypts `blocks` (whole 16-byte blocks) in CBC mode from the 16-byte `iv` and appends the
  // plain bytes to `out`; false when the cipher fails.
  virtual bool Decrypt(std::string_view iv, std::string_view blocks, std::string& out) = 0;
};

// Makes the platform's cipher; null where the system has none to give.
using Aes128CbcMaker = std::function<std::unique_ptr<Aes128Cbc>()>;

// One segment, decrypted as its bytes arrive with the key `cipher` holds: whole blocks are
// decrypted at once except the last one seen, held back until the segment ends, where its
// padding is removed.
class SegmentDecryption {
 public:
  SegmentDecryption(Aes128Cbc& cipher, std::string iv) : cipher_(cipher), iv_(std::move(iv)) {}

  // Appends to `out` what the next `bytes` of the segment decrypt to; false when the cipher
  // fails.
  bool Feed(std::string_view bytes, std::string& out);
  // The segment ended: appends its last plain bytes. False when it was no whole number of
  // blocks or its padding is not PKCS7 (a wrong key or IV reads so).
  bool Finish(std::string& out);

 private:
  Aes128Cbc& cipher_;
  std::string iv_;       // the cipher block before the next one to decrypt
  std::string pending_;  // encrypted bytes not decrypted yet
};

}  // namespace lumio::hls

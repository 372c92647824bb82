// AES-128 in CBC mode through the system's cipher (BCrypt, Windows Vista and later; Wine too).

#include <windows.h>

#include <bcrypt.h>

#include "winplayer/aes_cbc.h"

namespace lumio::win {
namespace {

bool Succeeded(NTSTATUS status) {
  return status >= 0;
}

class BcryptAes128Cbc final : public hls::Aes128Cbc {
 public:
  ~BcryptAes128Cbc() override {
    DropKey();
    if (algorithm_ != nullptr) BCryptCloseAlgorithmProvider(algorithm_, 0);
  }

  bool Open() {
    if (!Succeeded(BCryptOpenAlgorithmProvider(&algorithm_, BCRYPT_AES_ALGORITHM, nullptr, 0))) {
      algorithm_ = nullptr;
      return false;
    }
    const auto* mode = reinterpret_cast<const UCHAR*>(BCRYPT_CHAIN_MODE_CBC);
    return Succeeded(BCryptSetProperty(algorithm_, BCRYPT_CHAINING_MODE, const_cast<UCHAR*>(mode),
                                       sizeof BCRYPT_CHAIN_MODE_CBC, 0));
  }

  bool SetKey(std::string_view key) override {
    DropKey();
    if (key.size() != 16) return false;
    std::string secret(key);
    if (!Succeeded(BCryptGenerateSymmetricKey(algorithm_, &key_, nullptr, 0,
                                              reinterpret_cast<UCHAR*>(secret.data()),
                                              static_cast<ULONG>(secret.size()), 0))) {
      key_ = nullptr;
      return false;
    }
    return true;
  }

  bool Decrypt(std::string_view iv, std::string_view blocks, std::string& out) override {
    if (key_ == nullptr || iv.size() != 16 || blocks.size() % 16 != 0) return false;
    if (blocks.empty()) return true;
    // The cipher writes the chained IV back into its buffer, and reads its input through a
    // pointer it does not promise to leave alone: both are copies.
    std::string chain(iv);
    std::string input(blocks);
    const size_t at = out.size();
    out.resize(at + blocks.size());
    ULONG written = 0;
    const NTSTATUS status = BCryptDecrypt(
        key_, reinterpret_cast<UCHAR*>(input.data()), static_cast<ULONG>(input.size()), nullptr,
        reinterpret_cast<UCHAR*>(chain.data()), static_cast<ULONG>(chain.size()),
        reinterpret_cast<UCHAR*>(out.data() + at), static_cast<ULONG>(blocks.size()), &written, 0);
    if (!Succeeded(status) || written != blocks.size()) {
      out.resize(at);
      return false;
    }
    return true;
  }

 private:
  void DropKey() {
    if (key_ != nullptr) BCryptDestroyKey(key_);
    key_ = nullptr;
  }

  BCRYPT_ALG_HANDLE algorithm_ = nullptr;
  BCRYPT_KEY_HANDLE key_ = nullptr;
};

}  // namespace

std::unique_ptr<hls::Aes128Cbc> MakeSystemAes128Cbc() {
  auto cipher = std::make_unique<BcryptAes128Cbc>();
  if (!cipher->Open()) return nullptr;
  return cipher;
}

}  // namespace lumio::win

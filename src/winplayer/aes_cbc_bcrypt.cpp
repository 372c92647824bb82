// AES-128 in CBC mode through the system's cipher (BCrypt, Windows Vista and later; Wine too).

#include <windows.h>

#include <bcrypt.h>

#include "winbase/unique_handle.h"
#include "winplayer/aes_cbc.h"

namespace lumio::win {
namespace {

bool Succeeded(NTSTATUS status) {
  return status >= 0;
}

void CloseAlgorithm(BCRYPT_ALG_HANDLE algorithm) {
  BCryptCloseAlgorithmProvider(algorithm, 0);
}
void DestroyKey(BCRYPT_KEY_HANDLE key) {
  BCryptDestroyKey(key);
}
using UniqueAlgorithm = UniqueHandle<BCRYPT_ALG_HANDLE, CloseAlgorithm>;
using UniqueKey = UniqueHandle<BCRYPT_KEY_HANDLE, DestroyKey>;

class BcryptAes128Cbc final : public hls::Aes128Cbc {
 public:
  bool Open() {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    if (!Succeeded(BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_AES_ALGORITHM, nullptr, 0))) {
      return false;
    }
    algorithm_.Reset(algorithm);
    const auto* mode = reinterpret_cast<const UCHAR*>(BCRYPT_CHAIN_MODE_CBC);
    return Succeeded(BCryptSetProperty(algorithm_.get(), BCRYPT_CHAINING_MODE,
                                       const_cast<UCHAR*>(mode), sizeof BCRYPT_CHAIN_MODE_CBC, 0));
  }

  bool SetKey(std::string_view key) override {
    key_.Reset();
    if (key.size() != 16) return false;
    std::string secret(key);
    BCRYPT_KEY_HANDLE made = nullptr;
    if (!Succeeded(BCryptGenerateSymmetricKey(algorithm_.get(), &made, nullptr, 0,
                                              reinterpret_cast<UCHAR*>(secret.data()),
                                              static_cast<ULONG>(secret.size()), 0))) {
      return false;
    }
    key_.Reset(made);
    return true;
  }

  bool Decrypt(std::string_view iv, std::string_view blocks, std::string& out) override {
    if (!key_ || iv.size() != 16 || blocks.size() % 16 != 0) return false;
    if (blocks.empty()) return true;
    // The cipher writes the chained IV back into its buffer, and reads its input through a
    // pointer it does not promise to leave alone: both are copies.
    std::string chain(iv);
    std::string input(blocks);
    const size_t at = out.size();
    out.resize(at + blocks.size());
    ULONG written = 0;
    const NTSTATUS status = BCryptDecrypt(
        key_.get(), reinterpret_cast<UCHAR*>(input.data()), static_cast<ULONG>(input.size()),
        nullptr, reinterpret_cast<UCHAR*>(chain.data()), static_cast<ULONG>(chain.size()),
        reinterpret_cast<UCHAR*>(out.data() + at), static_cast<ULONG>(blocks.size()), &written, 0);
    if (!Succeeded(status) || written != blocks.size()) {
      out.resize(at);
      return false;
    }
    return true;
  }

 private:
  // In this order, so that the key goes before the algorithm it was made with.
  UniqueAlgorithm algorithm_;
  UniqueKey key_;
};

}  // namespace

std::unique_ptr<hls::Aes128Cbc> MakeSystemAes128Cbc() {
  auto cipher = std::make_unique<BcryptAes128Cbc>();
  if (!cipher->Open()) return nullptr;
  return cipher;
}

}  // namespace lumio::win

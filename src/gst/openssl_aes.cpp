#include "gst/openssl_aes.h"

#include <openssl/evp.h>

#include <string>

namespace lumio::gst {
namespace {

constexpr size_t kBlock = 16;

struct CipherContextFree {
  void operator()(EVP_CIPHER_CTX* context) const { EVP_CIPHER_CTX_free(context); }
};

class OpenSslAes128Cbc final : public hls::Aes128Cbc {
 public:
  bool Open() { return context_ != nullptr; }

  bool SetKey(std::string_view key) override {
    key_.clear();
    if (key.size() != kBlock) return false;
    key_.assign(key);
    return true;
  }

  bool Decrypt(std::string_view iv, std::string_view blocks, std::string& out) override {
    if (key_.empty() || iv.size() != kBlock || blocks.size() % kBlock != 0) return false;
    if (blocks.empty()) return true;
    const auto* key = reinterpret_cast<const unsigned char*>(key_.data());
    const auto* chain = reinterpret_cast<const unsigned char*>(iv.data());
    // The padding is the segment's, removed at its end by the caller: blocks here are bare.
    if (EVP_DecryptInit_ex(context_.get(), EVP_aes_128_cbc(), nullptr, key, chain) != 1 ||
        EVP_CIPHER_CTX_set_padding(context_.get(), 0) != 1) {
      return false;
    }
    const size_t at = out.size();
    out.resize(at + blocks.size());
    int written = 0;
    const bool ok =
        EVP_DecryptUpdate(context_.get(), reinterpret_cast<unsigned char*>(out.data() + at),
                          &written, reinterpret_cast<const unsigned char*>(blocks.data()),
                          static_cast<int>(blocks.size())) == 1 &&
        static_cast<size_t>(written) == blocks.size();
    if (!ok) out.resize(at);
    return ok;
  }

 private:
  std::unique_ptr<EVP_CIPHER_CTX, CipherContextFree> context_{EVP_CIPHER_CTX_new()};
  std::string key_;
};

}  // namespace

std::unique_ptr<hls::Aes128Cbc> MakeOpenSslAes128Cbc() {
  auto cipher = std::make_unique<OpenSslAes128Cbc>();
  if (!cipher->Open()) return nullptr;
  return cipher;
}

}  // namespace lumio::gst

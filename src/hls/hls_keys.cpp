#include "hls/hls_keys.h"

#include "hls/fetch_url.h"

namespace lumio::hls {
namespace {

constexpr size_t kKeyBytes = 16;

}  // namespace

HlsKeys::State HlsKeys::Need(const stream::HlsKey& key) {
  if (Find(key.uri) != nullptr) return State::kReady;
  if (!request_ || request_uri_ != key.uri) {
    std::string why;
    const std::optional<std::string> url = FetchableFoundUrl(key.uri, &why);
    if (!url) return Failed(StreamFailure::kUnreachable, "HLS key: " + why);
    HttpFetchOptions options = options_;
    options.icy_metadata = false;
    options.range_offset = 0;
    options.range_length = 0;
    // Enough to see that an answer is longer than a key, and no more held.
    options.buffer_limit = 4096;
    body_.clear();
    request_uri_ = key.uri;
    request_ = std::make_unique<HttpGet>(fetcher_, *url, options);
  }
  if (request_->Advance() == HttpGet::Phase::kFailed) {
    return Failed(request_->failure(), "HLS key: " + request_->error());
  }
  bool whole = true;
  if (!request_->TakeText(body_, kKeyBytes, &whole)) return State::kFetching;
  request_.reset();
  if (!whole || body_.size() != kKeyBytes) {
    return Failed(StreamFailure::kNotAudio,
                  "The HLS key at " + key.uri + " is not a key of 16 bytes");
  }
  if (keys_.size() >= kMaxKeys) keys_.pop_front();
  keys_.emplace_back(key.uri, std::exchange(body_, {}));
  return State::kReady;
}

std::unique_ptr<SegmentDecryption> HlsKeys::Decryption(const stream::HlsKey& key,
                                                       uint64_t sequence) {
  const std::string* bytes = Find(key.uri);
  if (bytes == nullptr) {
    Failed(StreamFailure::kNotAudio, "The HLS key is not in hand");
    return nullptr;
  }
  if (!cipher_) cipher_ = make_cipher_ ? make_cipher_() : nullptr;
  if (!cipher_) {
    Failed(StreamFailure::kNotAudio, "The system has no AES cipher to decrypt the HLS stream");
    return nullptr;
  }
  if (cipher_key_ != *bytes) {
    cipher_key_.clear();
    if (!cipher_->SetKey(*bytes)) {
      Failed(StreamFailure::kNotAudio, "The system's AES cipher refuses the HLS key");
      return nullptr;
    }
    cipher_key_ = *bytes;
  }
  return std::make_unique<SegmentDecryption>(*cipher_, stream::HlsKeyIv(key, sequence));
}

HlsKeys::State HlsKeys::Failed(StreamFailure why, std::string text) {
  request_.reset();
  body_.clear();
  failure_ = why;
  error_ = std::move(text);
  return State::kFailed;
}

const std::string* HlsKeys::Find(const std::string& uri) const {
  for (const auto& [address, key] : keys_) {
    if (address == uri) return &key;
  }
  return nullptr;
}

}  // namespace lumio::hls

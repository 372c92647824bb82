#pragma once
// The keys of an HLS stream encrypted with METHOD=AES-128: each fetched once through HttpGet
// (under the same address rules as any segment) and kept by its address for the stream's life,
// and the decryption of a segment with one of them.

#include <deque>
#include <memory>
#include <string>
#include <utility>

#include "hls/http_fetcher.h"
#include "hls/http_get.h"
#include "hls/segment_decryption.h"
#include "playback/stream_failure.h"
#include "stream/hls_playlist.h"

namespace lumio::hls {

class HlsKeys {
 public:
  // Keys kept: a stream that names a new key for every segment drops its oldest ones.
  static constexpr size_t kMaxKeys = 32;

  enum class State { kReady, kFetching, kFailed };

  HlsKeys(HttpFetcher& fetcher, const HttpFetchOptions& options, Aes128CbcMaker make_cipher)
      : fetcher_(fetcher), options_(options), make_cipher_(std::move(make_cipher)) {}

  // Whether the key `key` names (kAes128) is in hand: kReady, kFetching while it is fetched
  // (call again as the network brings more), or kFailed (failure() and error() say why; the
  // next call fetches it again). A key is exactly 16 bytes; a longer answer is not read on.
  State Need(const stream::HlsKey& key);
  // The decryption of the segment numbered `sequence` with `key` (in hand); null when the system
  // has no cipher or it refuses the key (error() says so).
  std::unique_ptr<SegmentDecryption> Decryption(const stream::HlsKey& key, uint64_t sequence);

  StreamFailure failure() const { return failure_; }
  const std::string& error() const { return error_; }

 private:
  State Failed(StreamFailure why, std::string text);
  const std::string* Find(const std::string& uri) const;

  HttpFetcher& fetcher_;
  HttpFetchOptions options_;
  Aes128CbcMaker make_cipher_;
  std::unique_ptr<Aes128Cbc> cipher_;
  std::string cipher_key_;                                // the key cipher_ holds
  std::deque<std::pair<std::string, std::string>> keys_;  // address, key; oldest first
  std::unique_ptr<HttpGet> request_;
  std::string request_uri_;
  std::string body_;
  StreamFailure failure_ = StreamFailure::kNone;
  std::string error_;
};

}  // namespace lumio::hls

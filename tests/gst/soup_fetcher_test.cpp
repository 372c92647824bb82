// The Linux player's HTTP client for the HLS reader, against the test stream server: it carries
// each request out as asked and decides nothing, holds no more than the taker allows, fails as
// the network does, and with libcrypto's cipher an encrypted station plays.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <chrono>
#include <memory>
#include <string>

#include "gst/main_loop.h"
#include "gst/openssl_aes.h"
#include "gst/soup_fetcher.h"
#include "gst/stream_server.h"
#include "hls/hls_reader.h"

namespace lumio::test {
namespace {

using hls::HttpFetch;
using hls::HttpFetchOptions;
using std::chrono::milliseconds;
using std::chrono::seconds;

constexpr const char* kAgent = "Lumio/1.2";

bool Settled(const HttpFetch& fetch) {
  return fetch.phase() == HttpFetch::Phase::kEnded || fetch.phase() == HttpFetch::Phase::kFailed;
}

// Takes the whole body of `fetch` as it comes.
std::string TakeAll(HttpFetch& fetch) {
  std::string body;
  PumpUntil(
      [&] {
        fetch.TakeBody(body);
        return Settled(fetch);
      },
      seconds(10));
  fetch.TakeBody(body);
  return body;
}

// The head as the server sent it, redirects and errors included (nothing followed, no body
// read), the ICY header asked for only when wanted, a byte range as the range asked for.
TEST(SoupFetcher, CarriesOutEachRequestAsAsked) {
  StreamServer server;
  ASSERT_TRUE(server.ok());
  server.Serve("/moved", RedirectTo("/elsewhere", 301));
  server.Serve("/gone", StatusOnly(404));
  StreamResource file = TextFile("0123456789abcdefghij", "audio/aac; charset=x");
  file.ranges = true;
  server.Serve("/file", file);
  StreamResource icy = TextFile("icy body", "audio/mpeg");
  icy.icy_metaint_header = "8192";
  icy.bytes_per_second = 64 * 1024;  // the header comes with a live body only
  server.Serve("/icy", icy);
  gst::SoupFetcher fetcher(kAgent, [] {});

  auto moved = fetcher.Open(server.Url("/moved"), {});
  ASSERT_TRUE(PumpUntil([&] { return Settled(*moved); }, seconds(10)));
  EXPECT_EQ(moved->head().status, 301);
  EXPECT_EQ(moved->head().location, "/elsewhere");
  EXPECT_TRUE(server.Requests("/elsewhere").empty());

  auto gone = fetcher.Open(server.Url("/gone"), {});
  ASSERT_TRUE(PumpUntil([&] { return Settled(*gone); }, seconds(10)));
  EXPECT_EQ(gone->phase(), HttpFetch::Phase::kEnded);
  EXPECT_EQ(gone->head().status, 404);

  HttpFetchOptions range;
  range.range_offset = 5;
  range.range_length = 4;
  auto part = fetcher.Open(server.Url("/file"), range);
  EXPECT_EQ(TakeAll(*part), "5678");
  EXPECT_EQ(part->head().status, 206);
  EXPECT_EQ(part->head().content_type, "audio/aac; charset=x");
  auto whole = fetcher.Open(server.Url("/file"), {});
  EXPECT_EQ(TakeAll(*whole), "0123456789abcdefghij");
  EXPECT_EQ(whole->phase(), HttpFetch::Phase::kEnded);

  HttpFetchOptions with_titles;
  with_titles.icy_metadata = true;
  auto titled = fetcher.Open(server.Url("/icy"), with_titles);
  EXPECT_EQ(TakeAll(*titled), "icy body");
  EXPECT_EQ(titled->head().icy_metaint, "8192");
  auto plain = fetcher.Open(server.Url("/icy"), {});
  TakeAll(*plain);
  const auto requests = server.Requests("/icy");
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_TRUE(requests[0].wants_icy_metadata);
  EXPECT_FALSE(requests[1].wants_icy_metadata);
  EXPECT_EQ(requests[0].user_agent, kAgent);
}

// A body that never ends is read no further than the taker's limit while nothing is taken, and
// goes on once it is; a refused connection, a server that never answers and one that stops
// sending mid-body each fail with their reason, within the time limit asked for.
TEST(SoupFetcher, HoldsNoMoreThanItsLimitAndFailsAsTheNetworkDoes) {
  StreamServer server;
  ASSERT_TRUE(server.ok());
  StreamResource endless;
  endless.body = std::make_shared<const std::string>(64 * 1024, 'x');
  endless.bytes_per_second = 4 * 1024 * 1024;
  endless.loop = true;
  server.Serve("/endless", endless);
  server.Serve("/silent", NeverAnswering());
  StreamResource stalls = endless;
  stalls.stall_after_ms = 100;
  stalls.stall_ms = 5000;
  server.Serve("/stalls", stalls);
  gst::SoupFetcher fetcher(kAgent, [] {});

  HttpFetchOptions small;
  small.buffer_limit = 32 * 1024;
  auto fetch = fetcher.Open(server.Url("/endless"), small);
  ASSERT_TRUE(PumpUntil([&] { return fetch->phase() == HttpFetch::Phase::kBody; }, seconds(10)));
  PumpFor(milliseconds(500));
  std::string body;
  fetch->TakeBody(body);
  EXPECT_GT(body.size(), 0u);
  EXPECT_LE(body.size(), small.buffer_limit);
  body.clear();
  ASSERT_TRUE(PumpUntil(
      [&] {
        fetch->TakeBody(body);
        return body.size() > 4 * small.buffer_limit;
      },
      seconds(10)));
  EXPECT_EQ(fetch->phase(), HttpFetch::Phase::kBody);

  auto closed = std::make_unique<StreamServer>();
  const int refused_port = closed->port();
  closed.reset();
  auto refused = fetcher.Open("http://127.0.0.1:" + std::to_string(refused_port) + "/", {});
  ASSERT_TRUE(PumpUntil([&] { return Settled(*refused); }, seconds(10)));
  EXPECT_EQ(refused->phase(), HttpFetch::Phase::kFailed);
  EXPECT_EQ(refused->failure(), TransportError::kRefused);

  HttpFetchOptions quick;
  quick.timeout_ms = 700;
  auto silent = fetcher.Open(server.Url("/silent"), quick);
  const auto asked = std::chrono::steady_clock::now();
  ASSERT_TRUE(PumpUntil([&] { return Settled(*silent); }, seconds(10)));
  EXPECT_EQ(silent->failure(), TransportError::kTimedOut);
  EXPECT_LT(std::chrono::steady_clock::now() - asked, seconds(5));

  auto stalled = fetcher.Open(server.Url("/stalls"), quick);
  std::string before;
  ASSERT_TRUE(PumpUntil(
      [&] {
        stalled->TakeBody(before);
        return Settled(*stalled);
      },
      seconds(4)));
  EXPECT_EQ(stalled->phase(), HttpFetch::Phase::kFailed);
  EXPECT_EQ(stalled->failure(), TransportError::kConnectionLost);
  EXPECT_FALSE(before.empty());
}

std::string Aes128CbcEncrypt(const std::string& key, const std::string& iv,
                             const std::string& plain) {
  std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> context(EVP_CIPHER_CTX_new(),
                                                                          EVP_CIPHER_CTX_free);
  std::string out(plain.size() + 16, '\0');
  int written = 0;
  int last = 0;
  const auto bytes = [](const std::string& text) {
    return reinterpret_cast<const unsigned char*>(text.data());
  };
  EVP_EncryptInit_ex(context.get(), EVP_aes_128_cbc(), nullptr, bytes(key), bytes(iv));
  EVP_EncryptUpdate(context.get(), reinterpret_cast<unsigned char*>(out.data()), &written,
                    bytes(plain), static_cast<int>(plain.size()));
  EVP_EncryptFinal_ex(context.get(), reinterpret_cast<unsigned char*>(out.data()) + written, &last);
  out.resize(static_cast<size_t>(written + last));
  return out;
}

// An AES-128 station over the real network and cipher: the reader follows its key's redirect,
// resolves what the playlist names against where it came from, and hands out the plain sound.
TEST(SoupFetcher, CarriesTheHlsReaderThroughAnEncryptedStation) {
  StreamServer server;
  ASSERT_TRUE(server.ok());
  const std::string key = "0123456789abcdef";
  const std::string iv(16, '\x07');
  const std::string plain[] = {std::string(5000, 'a') + "first", std::string(40000, 'b') + "2nd"};
  server.Serve(
      "/live/index.m3u8",
      TextFile("#EXTM3U\n#EXT-X-TARGETDURATION:2\n"
               "#EXT-X-KEY:METHOD=AES-128,URI=\"k/1\",IV=0x07070707070707070707070707070707\n"
               "#EXTINF:2,\ns1.aac\n#EXTINF:2,\ns2.aac\n#EXT-X-ENDLIST\n",
               "application/vnd.apple.mpegurl"));
  server.Serve("/live/k/1", RedirectTo("/keys/1"));
  server.Serve("/keys/1", TextFile(key, "application/octet-stream"));
  server.Serve("/live/s1.aac", TextFile(Aes128CbcEncrypt(key, iv, plain[0]), "audio/aac"));
  server.Serve("/live/s2.aac", TextFile(Aes128CbcEncrypt(key, iv, plain[1]), "audio/aac"));

  gst::SoupFetcher fetcher(kAgent, [] {});
  hls::HlsReader reader(fetcher, {}, gst::MakeOpenSslAes128Cbc);
  // The station attempt hands over the first playlist it fetched, redirect followed.
  auto first = fetcher.Open(server.Url("/live/index.m3u8"), {});
  const std::string playlist = TakeAll(*first);
  reader.Start(server.Url("/live/index.m3u8"), playlist, true, hls::Clock::now());
  std::string audio;
  hls::HlsReader::Status status = hls::HlsReader::Status::kRunning;
  PumpUntil(
      [&] {
        status = reader.Advance(audio, true, hls::Clock::now());
        return status != hls::HlsReader::Status::kRunning;
      },
      seconds(20));
  EXPECT_EQ(status, hls::HlsReader::Status::kEnded) << reader.error();
  EXPECT_EQ(audio, plain[0] + plain[1]);
}

}  // namespace
}  // namespace lumio::test

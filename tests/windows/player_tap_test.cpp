// What the Windows player hands to a recording, compared with what the local stations sent: the
// bytes as the server wrote them (less its ICY metadata), each title where the server put it,
// and a new stream at each new connection.

#include <winsock2.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "recording/recording_feed.h"
#include "stream/ts_demuxer.h"
#include "windows/player_harness.h"

namespace lumio::test {
namespace {

using Kind = StreamEvent::Kind;
using testing::ElementsAre;

// Audio bytes between ICY metadata blocks for clients that ask for titles (the stations' usual).
constexpr size_t kIcyInterval = 8192;

// The first `limit` bytes of the body of `path` (its whole body when shorter), asked for plainly:
// no ICY metadata. "" when the stations cannot be reached.
std::string PlainBody(const std::string& path, size_t limit) {
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return "";
  std::string body;
  const std::string base = Env("LUMIO_STATIONS");
  const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port =
      htons(static_cast<u_short>(std::atoi(base.substr(base.rfind(':') + 1).c_str())));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (s != INVALID_SOCKET &&
      connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0) {
    const std::string request = "GET " + path + " HTTP/1.0\r\nConnection: close\r\n\r\n";
    send(s, request.data(), static_cast<int>(request.size()), 0);
    std::string all;
    size_t head_end = std::string::npos;
    char buffer[16384];
    while (head_end == std::string::npos || all.size() - head_end < limit) {
      const int got = recv(s, buffer, sizeof(buffer), 0);
      if (got <= 0) break;
      all.append(buffer, static_cast<size_t>(got));
      if (head_end == std::string::npos && all.find("\r\n\r\n") != std::string::npos)
        head_end = all.find("\r\n\r\n") + 4;
    }
    if (head_end != std::string::npos) body = all.substr(head_end, limit);
  }
  if (s != INVALID_SOCKET) closesocket(s);
  WSACleanup();
  return body;
}

// What a tap heard of one connection: its bytes, and its titles with where each fell in them.
struct Connection {
  std::string bytes;
  std::vector<std::pair<size_t, std::string>> titles;
};

// The connections a tap heard, split at each start; false when anything came before the first.
bool SplitAtStarts(const std::vector<StreamEvent>& events, std::vector<Connection>& connections) {
  for (const StreamEvent& event : events) {
    if (event.kind == Kind::kStart) {
      connections.emplace_back();
      continue;
    }
    if (connections.empty()) return false;
    if (event.kind == Kind::kBytes) connections.back().bytes += event.data;
    if (event.kind == Kind::kTitle)
      connections.back().titles.emplace_back(connections.back().bytes.size(), event.data);
  }
  return true;
}

class Tap : public testing::Test {
 protected:
  void SetUp() override {
    LUMIO_REQUIRE_STATIONS();
    ASSERT_TRUE(PrepareAndWait(player_));
    player_.SetStreamTap(&feed_);
  }
  void TearDown() override { player_.SetStreamTap(nullptr); }

  // Takes what the tap heard until `done` holds of all of it, or `timeout` passes.
  template <typename Done>
  bool HearUntil(Done done, milliseconds timeout) {
    return WaitUntil(
        [&] {
          std::vector<StreamEvent> more;
          feed_.Take(more);
          heard_.insert(heard_.end(), more.begin(), more.end());
          connections_.clear();
          return SplitAtStarts(heard_, connections_) && done();
        },
        timeout);
  }

  RecordingFeed feed_;  // outlives the player
  WinPlayer player_;
  std::vector<StreamEvent> heard_;
  std::vector<Connection> connections_;
};

// An Icecast station that names a new song, then drops the listener: each connection is handed
// over from its first byte as a plain listener gets it, its titles exactly at the metadata
// blocks, each once; the reconnection begins a new stream. Taken away, the tap hears nothing.
TEST_F(Tap, HandsAnIcecastStationOverAsSentAcrossANewSongAndADrop) {
  const std::string path = "/icy.mp3";
  player_.SetURL(StationUrl(path));
  ASSERT_TRUE(
      HearUntil([&] { return connections_.size() == 1 && connections_[0].titles.size() == 1; },
                milliseconds(15000)))
      << player_.LastError();
  ASSERT_EQ(Control("title " + path + " Second song"), "ok");
  const bool renamed =
      HearUntil([&] { return connections_.size() == 1 && connections_[0].titles.size() == 2; },
                milliseconds(5000));
  Control("title " + path + " Lumio - Test tone");
  ASSERT_TRUE(renamed);
  Control("drop " + path);
  ASSERT_TRUE(HearUntil(
      [&] { return connections_.size() == 2 && connections_[1].bytes.size() > 2 * kIcyInterval; },
      milliseconds(15000)))
      << player_.LastError();

  const Connection& first = connections_[0];
  const Connection& second = connections_[1];
  EXPECT_THAT(first.titles,
              ElementsAre(std::pair<size_t, std::string>{kIcyInterval, "Lumio - Test tone"},
                          testing::Pair(testing::_, "Second song")));
  EXPECT_EQ(first.titles[1].first % kIcyInterval, 0u) << "a title between two blocks";
  ASSERT_FALSE(second.titles.empty());
  EXPECT_EQ(second.titles[0].first, kIcyInterval);
  const std::string sent = PlainBody(path, first.bytes.size());
  EXPECT_TRUE(first.bytes == sent) << "the first connection's " << first.bytes.size()
                                   << " bytes differ from the " << sent.size() << " sent";
  EXPECT_TRUE(second.bytes == sent.substr(0, second.bytes.size()))
      << "the second connection differs from what the station sends";

  player_.SetStreamTap(nullptr);
  std::vector<StreamEvent> after;
  feed_.Take(after);
  std::this_thread::sleep_for(milliseconds(500));
  feed_.Take(after);
  EXPECT_TRUE(after.empty()) << "heard after it was taken away";
}

// HLS in MPEG-TS: the AAC of the segments, in order, as their transport stream carries it.
TEST_F(Tap, HandsTheAacOfAnHlsStationsSegmentsOver) {
  stream::TsDemuxer demuxer;
  std::string sent;
  std::vector<stream::TimedMetadata> metadata;
  for (const char* segment : {"/hls/seg00000.ts", "/hls/seg00001.ts"}) {
    demuxer.Feed(PlainBody(segment, std::string::npos), sent, metadata);
    demuxer.Flush(sent, metadata);
  }
  ASSERT_GT(sent.size(), 1000u) << "the segments could not be had";
  player_.SetURL(StationUrl("/hls/index.m3u8"));
  ASSERT_TRUE(HearUntil(
      [&] { return !connections_.empty() && connections_[0].bytes.size() >= sent.size(); },
      milliseconds(15000)))
      << player_.LastError();
  EXPECT_EQ(connections_.size(), 1u);
  EXPECT_TRUE(connections_[0].bytes.substr(0, sent.size()) == sent)
      << "the tap's AAC differs from the segments'";
}

}  // namespace
}  // namespace lumio::test

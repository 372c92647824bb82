#include "playback/address_policy.h"

#include <gtest/gtest.h>

#include <string>

namespace lumio {
namespace {

// A remote server names these; only web addresses may be opened, whatever it says.
TEST(AddressPolicy, OpensOnlyWebAddresses) {
  const struct {
    const char* uri;
    bool allowed;
  } cases[] = {{"http://radio.example/live.mp3", true}, {"HTTPS://radio.example:8443/a", true},
               {"file:///etc/passwd", false},           {"udp://0.0.0.0:5004", false},
               {"smb://host/share/a.mp3", false},       {"data:audio/mpeg;base64,AAAA", false},
               {"rtsp://radio.example/live", false},    {"http://", false},
               {"/relative/path.mp3", false},           {"", false}};
  for (const auto& c : cases)
    EXPECT_EQ(RefusalOfAddress(c.uri).empty(), c.allowed) << c.uri;
  const std::string huge = "http://radio.example/" + std::string(16 * 1024, 'a');
  EXPECT_NE(RefusalOfAddress(huge), "");
  EXPECT_LT(RefusalOfAddress(huge).size(), 200u);  // the reason is shown, not the address
}

TEST(AddressPolicy, FollowsRedirectsUpwardAndBoundedOnly) {
  EXPECT_EQ(RefusalOfRedirect("http://a/x", "https://b/y", 1), "");
  EXPECT_EQ(RefusalOfRedirect("https://a/x", "https://b/y", 5), "");
  EXPECT_NE(RefusalOfRedirect("https://a/x", "http://b/y", 1), "");
  EXPECT_NE(RefusalOfRedirect("http://a/x", "http://b/y", 6), "");
  EXPECT_NE(RefusalOfRedirect("http://a/x", "file:///etc/passwd", 1), "");
}

// The demuxer fetches what an HLS playlist names by itself: all of it is asked first.
TEST(AddressPolicy, AnHlsPlaylistMayNameOnlyWebAddresses) {
  const char* const url = "https://radio.example/hls/live.m3u8";
  EXPECT_EQ(RefusalOfHlsPlaylist("#EXTM3U\n#EXT-X-KEY:METHOD=AES-128,URI=\"key.bin\"\n"
                                 "#EXTINF:4,\nseg1.ts\n#EXTINF:4,\nhttp://cdn.example/seg2.ts\n",
                                 url),
            "");
  for (const char* playlist :
       {"#EXTM3U\n#EXTINF:4,\nseg1.ts\n#EXTINF:4,\nfile:///etc/passwd\n",
        "#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=64000\nudp://0.0.0.0:5004\n",
        "#EXTM3U\n#EXT-X-KEY:METHOD=AES-128,URI=\"file:///home/u/.ssh/id_rsa\"\n",
        "#EXTM3U\n#EXT-X-MAP:URI=\"smb://host/init.mp4\"\n#EXTINF:4,\nseg1.m4s\n"}) {
    EXPECT_NE(RefusalOfHlsPlaylist(playlist, url), "") << playlist;
  }
}

}  // namespace
}  // namespace lumio

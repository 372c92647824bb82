#include "stream/stream_address.h"

#include <gtest/gtest.h>

namespace lumio::stream {
namespace {

TEST(StreamAddress, TurnsStationUrlsIntoUris) {
  struct Case {
    std::string gbk_url;
    std::string uri;
  };
  const Case cases[] = {
      {"http://radio.example.cn:8000/live", "http://radio.example.cn:8000/live"},
      {"  http://a.cn/x.mp3\r\n", "http://a.cn/x.mp3"},
      {"HTTP://a.cn/Live", "http://a.cn/Live"},
      {"radio.example.cn/live.m3u8", "http://radio.example.cn/live.m3u8"},
      {"127.0.0.1:8000/x", "http://127.0.0.1:8000/x"},
      {"mms://media.example.cn/fm974", "mms://media.example.cn/fm974"},
      // GBK "中文" in the path becomes percent-encoded UTF-8.
      {"http://a.cn/\xD6\xD0\xCE\xC4.mp3", "http://a.cn/%E4%B8%AD%E6%96%87.mp3"},
      {"http://a.cn/a b|c\"d", "http://a.cn/a%20b%7Cc%22d"},
      {"http://a.cn/a%20b?x=50%", "http://a.cn/a%20b?x=50%25"},
      {"http://a.cn/%e4%b8%ad?q=1&r=%zz", "http://a.cn/%e4%b8%ad?q=1&r=%25zz"},
      {"file:///srv/tone.mp3", "file:///srv/tone.mp3"},
  };
  for (const Case& c : cases) {
    const StreamAddress address = StreamAddressFromUrl(c.gbk_url);
    EXPECT_EQ(address.uri, c.uri) << c.gbk_url;
    EXPECT_EQ(address.error, "") << c.gbk_url;
  }
}

TEST(StreamAddress, RefusesWhatNamesNoStream) {
  const std::vector<std::string> urls = {"",          " \t\r\n",         "http://", "http:///x.mp3",
                                         "http://?a", "http://a.cn/\xD6"};
  for (const std::string& gbk_url : urls) {
    const StreamAddress address = StreamAddressFromUrl(gbk_url);
    EXPECT_EQ(address.uri, "") << gbk_url;
    EXPECT_NE(address.error, "") << gbk_url;
  }
}

TEST(StreamAddress, TellsHlsPlaylistsByTheirPath) {
  EXPECT_TRUE(NamesHlsPlaylist("http://a.cn/live/index.m3u8"));
  EXPECT_TRUE(NamesHlsPlaylist("https://a.cn/LIVE.M3U8?token=1"));
  EXPECT_TRUE(NamesHlsPlaylist("http://a.cn/x.m3u8#top"));
  EXPECT_FALSE(NamesHlsPlaylist("http://a.cn/x.mp3?list=a.m3u8"));
  EXPECT_FALSE(NamesHlsPlaylist("http://a.cn/x.m3u"));
  EXPECT_FALSE(NamesHlsPlaylist("m3u8"));
}

}  // namespace
}  // namespace lumio::stream

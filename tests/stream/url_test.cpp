#include "stream/url.h"

#include <gtest/gtest.h>

namespace lumio::stream {
namespace {

TEST(ResolveUrl, FollowsRfc3986AndThePlaylistsSeenInTheWild) {
  struct Case {
    const char* base;
    const char* reference;
    const char* expected;
  };
  const char* const kBase = "http://a/b/c/d;p?q";
  const Case cases[] = {
      // RFC 3986 section 5.4.
      {kBase, "g:h", "g:h"},
      {kBase, "g", "http://a/b/c/g"},
      {kBase, "./g", "http://a/b/c/g"},
      {kBase, "g/", "http://a/b/c/g/"},
      {kBase, "/g", "http://a/g"},
      {kBase, "//g", "http://g"},
      {kBase, "?y", "http://a/b/c/d;p?y"},
      {kBase, "g?y", "http://a/b/c/g?y"},
      {kBase, "#s", "http://a/b/c/d;p?q#s"},
      {kBase, "", "http://a/b/c/d;p?q"},
      {kBase, ".", "http://a/b/c/"},
      {kBase, "..", "http://a/b/"},
      {kBase, "../g", "http://a/b/g"},
      {kBase, "../../../g", "http://a/g"},
      {kBase, "../../../../g", "http://a/g"},
      {kBase, "/./g", "http://a/g"},
      {kBase, "g.", "http://a/b/c/g."},
      {kBase, "..g", "http://a/b/c/..g"},
      {kBase, "./g/.", "http://a/b/c/g/"},
      {kBase, "g/../h", "http://a/b/c/h"},
      {kBase, "g;x=1/../y", "http://a/b/c/y"},
      {kBase, "g?y/./x", "http://a/b/c/g?y/./x"},
      {kBase, "http:g", "http:g"},
      // Playlists.
      {"http://radio.example.cn:8000/live/list.m3u8?token=1", "seg-17.ts",
       "http://radio.example.cn:8000/live/seg-17.ts"},
      {"https://h.example/a/b/master.m3u8", "../audio/index.m3u8",
       "https://h.example/a/audio/index.m3u8"},
      {"https://h.example/list.pls", "//cdn.example/s.mp3", "https://cdn.example/s.mp3"},
      {"http://h.example", "stream", "http://h.example/stream"},
      {"http://h.example/x.asx", "mms://wm.example/live", "mms://wm.example/live"},
      {"http://h.example/x/y.m3u8", "?seq=2", "http://h.example/x/y.m3u8?seq=2"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ResolveUrl(c.base, c.reference), c.expected) << c.base << " + " << c.reference;
}

TEST(SplitUrl, GivesAFetcherHostPortAndTargetOrRefuses) {
  struct Case {
    const char* url;
    bool ok;
    const char* scheme;
    const char* host;
    int port;
    const char* target;
  };
  const Case cases[] = {
      {"HTTP://Radio.example:8000/live?x=1#f", true, "http", "Radio.example", 8000, "/live?x=1"},
      {"https://h.example", true, "https", "h.example", 443, "/"},
      {"http://user:pw@h.example/a", true, "http", "h.example", 80, "/a"},
      {"http://[::1]:8080/s", true, "http", "[::1]", 8080, "/s"},
      {"http://[::1]/s", true, "http", "[::1]", 80, "/s"},
      {"mms://wm.example/live", true, "mms", "wm.example", 80, "/live"},
      {"http://h.example:/a", true, "http", "h.example", 80, "/a"},
      {"http://h.example:65536/", false, "", "", 0, ""},
      {"http://h.example:80a/", false, "", "", 0, ""},
      {"http:///path", false, "", "", 0, ""},
      {"/relative/path", false, "", "", 0, ""},
      {"mailto:x@y", false, "", "", 0, ""},
  };
  for (const Case& c : cases) {
    const std::optional<UrlParts> parts = SplitUrl(c.url);
    ASSERT_EQ(parts.has_value(), c.ok) << c.url;
    if (!parts) continue;
    EXPECT_EQ(parts->scheme, c.scheme) << c.url;
    EXPECT_EQ(parts->host, c.host) << c.url;
    EXPECT_EQ(parts->port, c.port) << c.url;
    EXPECT_EQ(parts->RequestTarget(), c.target) << c.url;
  }
}

TEST(UrlExtension, LooksOnlyAtTheLastPathSegment) {
  EXPECT_EQ(UrlExtension("http://h/a/list.PLS?x=1.m3u#y.asx"), "pls");
  EXPECT_EQ(UrlExtension("http://h/a.m3u8/stream"), "");
  EXPECT_EQ(UrlExtension("http://h.example.com"), "");
  EXPECT_EQ(UrlExtension("http://h/dir/"), "");
  EXPECT_EQ(UrlExtension("list.xspf"), "xspf");
}

}  // namespace
}  // namespace lumio::stream

#include "stream/playlist.h"

#include <gtest/gtest.h>

#include "stream/playlist_kind.h"

namespace lumio::stream {
namespace {

using Entries = std::vector<PlaylistEntry>;
using K = PlaylistKind;

TEST(ClassifyPlaylist, CertainBytesThenTypeThenExtension) {
  struct Case {
    const char* url;
    const char* type;
    std::string bytes;
    PlaylistKind expected;
  };
  const std::string asf("\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9", 10);
  const Case cases[] = {
      {"http://h/a.PLS", "", "", K::kPls},
      {"http://h/a", "audio/x-scpls; charset=UTF-8", "", K::kPls},
      {"http://h/a", " Audio/X-MPEGURL ", "http://s/1\n", K::kM3u},
      {"http://h/a.m3u", "audio/mpegurl", "", K::kM3u},
      {"http://h/a.xspf", "", "", K::kXspf},
      {"http://h/a", "application/xspf+xml", "", K::kXspf},
      {"http://h/a.asx", "text/plain", "", K::kAsx},
      {"http://h/a.m3u8", "", "", K::kHls},
      {"http://h/a", "application/x-mpegURL", "", K::kHls},
      // HLS is told by its tags, whatever the address or type says.
      {"http://h/live", "audio/x-mpegurl", "#EXTM3U\r\n#EXT-X-TARGETDURATION:10\r\n", K::kHls},
      {"http://h/a.m3u8", "", "#EXTM3U\n#EXTINF:-1,Radio\nhttp://s/1\n", K::kM3u},
      {"http://h/a", "application/vnd.apple.mpegurl", "http://s/1.mp3\n", K::kM3u},
      // Bytes that are certain override a misleading type or address.
      {"http://h/a.mp3", "audio/mpeg", "\xEF\xBB\xBF[Playlist]\nFile1=http://s/1\n", K::kPls},
      {"http://h/a.m3u", "text/html", "<?xml version='1.0'?>\n<!-- x -->\n<playlist>", K::kXspf},
      {"http://h/a", "audio/x-scpls", "  <ASX version=\"3.0\">", K::kAsx},
      {"http://h/a.asx", "video/x-ms-asf", "[Reference]\r\nRef1=http://s/1\r\n", K::kAsx},
      {"http://h/a.asx", "video/x-ms-asf", asf, K::kNone},
      {"http://h/a.pls", "audio/x-scpls", std::string("ID3\x03\0\0\0\0\0\x10", 10), K::kNone},
      {"http://h/a.m3u", "", "\xFF\xFB\x90\x64", K::kNone},
      // A server naming a media type sends the stream, whatever its address ends in.
      {"http://h/stream.m3u", "audio/mpeg", "", K::kNone},
      {"http://h/a", "", "\r\n# list\r\nhttp://s/1.mp3\r\n", K::kM3u},
      {"http://h/a", "", "", K::kNone},
      {"http://h/a", "text/html", "<html><body>Not found</body></html>", K::kNone},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ClassifyPlaylist(c.url, c.type, c.bytes), c.expected)
        << c.url << " | " << c.type << " | " << c.bytes;
}

struct ParseCase {
  const char* what;
  PlaylistKind kind;
  std::string bytes;
  Entries expected;
};

void ExpectParses(const std::vector<ParseCase>& cases) {
  for (const ParseCase& c : cases)
    EXPECT_EQ(ParsePlaylist(c.kind, c.bytes, "http://h.example/dir/list"), c.expected) << c.what;
}

TEST(ParsePlaylist, LineFormatsGiveEveryEntryInOrder) {
  const std::string kZhongwenUtf8 = "中文";
  const std::string kZhongwenGbk = "\xD6\xD0\xCE\xC4";
  ExpectParses({
      {"NumberOfEntries lies; a title belongs to its own number",
       K::kPls,
       "[playlist]\r\nNumberOfEntries=1\r\nFile1=http://a/1\r\nTitle2=Two\r\nFile2=http://a/2\r\n",
       {{"http://a/1", ""}, {"http://a/2", "Two"}}},
      {"keys without case, blanks around =, numeric order, relative entries",
       K::kPls,
       "[Playlist]\nfile10=ten.mp3\nFILE2 = http://a/2 \nTITLE10=" + kZhongwenUtf8 + "\n",
       {{"http://a/2", ""}, {"http://h.example/dir/ten.mp3", kZhongwenGbk}}},
      {"other sections, empty and broken values are skipped",
       K::kPls,
       "[playlist]\rFile1=\rFile2=http://a/\x01x\rFile3=http://a/3\r[other]\rFile4=http://no\r",
       {{"http://a/3", ""}}},
      {"extended M3U: a title names only the next entry",
       K::kM3u,
       "\xEF\xBB\xBF#EXTM3U\r\n#EXTINF:-1," + kZhongwenUtf8 +
           "\r\nhttp://a/1\r\n# comment\r\n\r\n  ../up.mp3  \rhttp://a/3",
       {{"http://a/1", kZhongwenGbk}, {"http://h.example/up.mp3", ""}, {"http://a/3", ""}}},
      {"GBK titles stay; a comma inside attribute quotes is no title start",
       K::kM3u,
       "#EXTINF:5 tvg-name=\"a, b\",\xD6\xD0\xCE\xC4 FM\nhttp://a/1\n",
       {{"http://a/1", kZhongwenGbk + " FM"}}},
      {"Windows Media reference file",
       K::kAsx,
       "[Reference]\r\nRef2=http://a/2\r\nRef1=http://a/1?MSWMExt=.asf\r\n",
       {{"http://a/1?MSWMExt=.asf", ""}, {"http://a/2", ""}}},
  });
}

TEST(ParsePlaylist, MarkupFormatsForgiveSloppyFiles) {
  ExpectParses({
      {"ASX: refs of an entry share its title, entities decoded",
       K::kAsx,
       "<asx version=\"3.0\"><title>List</title>\n<entry><ref href=\"mms://a/1\"/>"
       "<title>News &amp; Talk</title><ref href='http://a/2?x=1&amp;y=2'/></entry>"
       "<entry><ref href=\"3.asf\" /></entry></asx>",
       {{"mms://a/1", "News & Talk"},
        {"http://a/2?x=1&y=2", "News & Talk"},
        {"http://h.example/dir/3.asf", ""}}},
      {"ASX: upper case, unquoted values, bare &, unclosed tags, entryref",
       K::kAsx,
       "<ASX VERSION=3><ENTRY><REF HREF=http://a/1?x=1&y=2></ENTRY>\n<Entry><Ref href = "
       "'http://a/2' ><EntryRef HREF=\"more.asx\"></ASX>",
       {{"http://a/1?x=1&y=2", ""}, {"http://a/2", ""}, {"http://h.example/dir/more.asx", ""}}},
      {"ASX: comments hide refs; a tag cut off by the end is left out",
       K::kAsx,
       "<!-- <ref href=\"http://no/1\"/> --><asx><entry><ref href=\"http://a/1\"/></entry>"
       "<entry><ref href=\"http://a/2",
       {{"http://a/1", ""}}},
      {"XSPF: track locations only, title before or after, CDATA",
       K::kXspf,
       "<?xml version=\"1.0\"?><playlist version=\"1\" xmlns=\"http://xspf.org/ns/0/\">"
       "<location>http://no/self</location><trackList>"
       "<track><location>http://a/1</location><title>One</title></track>"
       "<track><title>Two &#x4E2D;</title><location> rel/2.mp3 </location></track>"
       "<track><location><![CDATA[http://a/3?x=1&y=2]]></location></track>"
       "<track><location>http://a/cut-off",
       {{"http://a/1", "One"},
        {"http://h.example/dir/rel/2.mp3", "Two \xD6\xD0"},
        {"http://a/3?x=1&y=2", ""}}},
  });
}

}  // namespace
}  // namespace lumio::stream

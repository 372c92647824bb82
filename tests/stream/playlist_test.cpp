#include "stream/playlist.h"

#include <gtest/gtest.h>

#include "stream/markup_scan.h"
#include "stream/playlist_kind.h"
#include "stream/stream_limits.h"

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

void ExpectParses(const std::vector<ParseCase>& cases, bool whole = true) {
  for (const ParseCase& c : cases)
    EXPECT_EQ(ParsePlaylist(c.kind, c.bytes, "http://h.example/dir/list", whole), c.expected)
        << c.what;
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

// A hostile or broken server's playlist costs no more than the caps: reading stops at the
// entry cap and at the byte cap, and a title is cut like a stream title.
TEST(ParsePlaylist, StopsAtTheEntryAndByteCaps) {
  constexpr size_t kEntries = limits::kMaxPlaylistEntries;
  std::string one_letter;  // a megabyte of one-letter entries, a to z over and over
  while (one_letter.size() < 1024 * 1024)
    one_letter += std::string(1, static_cast<char>('a' + one_letter.size() / 2 % 26)) + "\n";
  std::string pls = "[playlist]\n";
  std::string xspf = "<playlist><trackList>";
  std::string asx = "<asx><entry>";
  Entries first;
  for (size_t n = 40; n >= 1; --n)
    pls += "File" + std::to_string(n) + "=" + std::to_string(n) + "\n";
  for (size_t n = 1; n <= 40; ++n) {
    xspf += "<track><location>" + std::to_string(n) + "</location></track>";
    asx += "<ref href=\"" + std::to_string(n) + "\"/>";
    if (n <= kEntries) first.push_back({"http://h.example/dir/" + std::to_string(n), ""});
  }
  Entries first_titled = first;
  for (PlaylistEntry& e : first_titled)
    e.title = "T";
  Entries letters;
  for (size_t i = 0; i < kEntries; ++i)
    letters.push_back({"http://h.example/dir/" + std::string(1, static_cast<char>('a' + i)), ""});
  // An address that runs across the byte cap is cut there, and nothing after the cap is read.
  std::string across = "http://a/first\n#";
  across += std::string(limits::kMaxPlaylistBytes - across.size() - 5, 'x') + "\n";
  across += "http://a/across-the-cap\nhttp://a/after\n";
  std::string zhongwen_utf8;
  for (int i = 0; i < 1000; ++i)
    zhongwen_utf8 += "中";
  std::string zhongwen_gbk;
  for (size_t i = 0; i < limits::kMaxTitleBytes / 2; ++i)
    zhongwen_gbk += "\xD6\xD0";
  ExpectParses({
      {"M3U: a megabyte of one-letter entries", K::kM3u, one_letter, letters},
      {"PLS: the lowest numbers, whatever their order", K::kPls, pls, first},
      {"XSPF: the first tracks", K::kXspf, xspf, first},
      {"ASX: the first refs of one entry, titled after them", K::kAsx,
       asx + "<title>T</title></entry></asx>", first_titled},
      {"M3U across the byte cap", K::kM3u, across, {{"http://a/first", ""}}},
      {"a title longer than a window",
       K::kM3u,
       "#EXTINF:-1," + zhongwen_utf8 + "\nhttp://a/1\n",
       {{"http://a/1", zhongwen_gbk}}},
  });
}

// A body cut by a dropped connection, or by a fetcher at the cap: the last line may be a part
// of an address, and a title may be a part of a title.
TEST(ParsePlaylist, ACutBodyLeavesOutItsPartialLastEntry) {
  const std::vector<ParseCase> cases = {
      {"M3U", K::kM3u, "http://a/1\r\nhttp://a/2", {{"http://a/1", ""}}},
      {"M3U cut between CR and LF", K::kM3u, "http://a/1\r", {{"http://a/1", ""}}},
      {"PLS", K::kPls, "[playlist]\nFile1=http://a/1\nFile2=http://a/2", {{"http://a/1", ""}}},
      {"reference file",
       K::kAsx,
       "[Reference]\nRef1=http://a/1\nRef2=http://a/2",
       {{"http://a/1", ""}}},
      {"ASX cut inside a quoted address holding a \">\"",
       K::kAsx,
       "<asx><entry><ref href=\"http://a/1\"/></entry><entry><ref href=\"http://a/2?a=>b",
       {{"http://a/1", ""}}},
      {"XSPF cut inside a title",
       K::kXspf,
       "<playlist><track><location>http://a/1</location><title>Radio Bei",
       {{"http://a/1", ""}}},
  };
  ExpectParses(cases, false);
  // The same bodies whole: a last line without its end is an entry, an unclosed title a title.
  EXPECT_EQ(ParseM3u(cases[0].bytes, "http://h/").size(), 2u);
  EXPECT_EQ(ParseAsx(cases[4].bytes, "http://h/").size(), 2u);
  EXPECT_EQ(ParseXspf(cases[5].bytes, "http://h/"), (Entries{{"http://a/1", "Radio Bei"}}));
}

// "&" with no reference after it is kept, and a text of them is read once, not once per "&"
// (the test's timeout is the measure: megabytes of "&" took minutes that way).
TEST(DecodeEntities, KeepsBareAmpersandsInOnePass) {
  const std::string bare(8 * 1024 * 1024, '&');
  EXPECT_EQ(DecodeEntities(bare + "&amp;&#x4E2D;&bogus;"), bare + "&中&bogus;");
}

}  // namespace
}  // namespace lumio::stream

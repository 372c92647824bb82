#include <gtest/gtest.h>

#include "stream/icy_demuxer.h"
#include "stream/icy_metadata.h"
#include "stream/stream_limits.h"
#include "stream/stream_text.h"

namespace lumio::stream {
namespace {

// A block as a server sends it: the length byte and the text padded with NULs to 16s.
std::string Block(std::string_view text) {
  const size_t padded = (text.size() + 15) / 16 * 16;
  return std::string(1, static_cast<char>(padded / 16)) + std::string(text) +
         std::string(padded - text.size(), '\0');
}

// A broken or hostile server's interval must not end the titles silently, nor wrap round.
TEST(IcyDemuxer, TakesOnlyAnIntervalWithinTheLimits) {
  const struct {
    const char* header;
    size_t metaint;
  } cases[] = {{"16000", 16000},
               {" 8192 ", 8192},
               {"1", 1},
               {"1048576", 1048576},
               {"0", 0},
               {"-1", 0},
               {"", 0},
               {"1048577", 0},
               {"12x", 0},
               {"18446744073709551617", 0},
               {"99999999999999999999999", 0}};
  for (const auto& c : cases)
    EXPECT_EQ(IcyMetaintOfHeader(c.header), c.metaint) << c.header;
}

TEST(IcyDemuxer, SeparatesAudioAndBlocksWhereverTheChunksAreCut) {
  struct Case {
    const char* what;
    size_t metaint;
    std::string stream;
    std::string audio;
    std::vector<std::string> blocks;
  };
  const std::string title = "StreamTitle='A - B';";
  const std::string longest(255 * 16, 'x');
  const Case cases[] = {
      {"blocks between audio, an empty one skipped",
       8,
       "abcdefgh" + Block(title) + "ijklmnop" + std::string(1, '\0') + "qrstuvwx" + Block("s") +
           "yz",
       "abcdefghijklmnopqrstuvwxyz",
       {title + std::string(12, '\0'), "s" + std::string(15, '\0')}},
      {"the longest block; audio bytes that look like length bytes",
       3,
       std::string("\xFF\x01\x10", 3) + Block(longest) + "\x02\x02\x02",
       "\xFF\x01\x10\x02\x02\x02",
       {longest}},
      {"no metadata: everything is audio",
       0,
       std::string("\x01StreamTitle='x';\0", 17),
       std::string("\x01StreamTitle='x';\0", 17),
       {}},
  };
  for (const Case& c : cases) {
    for (size_t chunk :
         {size_t{1}, size_t{2}, size_t{7}, size_t{16}, size_t{17}, c.stream.size()}) {
      IcyDemuxer demuxer(c.metaint);
      std::string audio;
      std::vector<std::string> blocks;
      for (size_t at = 0; at < c.stream.size(); at += chunk)
        demuxer.Feed(std::string_view(c.stream).substr(at, chunk), audio, blocks);
      EXPECT_EQ(audio, c.audio) << c.what << ", chunks of " << chunk;
      EXPECT_EQ(blocks, c.blocks) << c.what << ", chunks of " << chunk;
    }
  }
}

TEST(IcyMetadata, ReadsTitlesHoldingQuotesAndSemicolonsAsGbk) {
  struct Case {
    std::string block;
    std::optional<std::string> title;
    std::optional<std::string> url;
  };
  const Case cases[] = {
      {std::string("StreamTitle='Artist - Song';StreamUrl='http://x/';\0\0\0", 53), "Artist - Song",
       "http://x/"},
      {"StreamTitle='Tom's Diner; live';StreamUrl='';", "Tom's Diner; live", ""},
      {"StreamUrl='u';  streamtitle='T';", "T", "u"},
      {"StreamTitle='';", "", std::nullopt},
      {"StreamTitle='a';junk;", "a", std::nullopt},
      {"StreamTitle='cut off", "cut off", std::nullopt},
      {"StreamTitle='no semicolon'", "no semicolon", std::nullopt},
      {"StreamTitle='\xD6\xD0\xCE\xC4';", "\xD6\xD0\xCE\xC4", std::nullopt},      // GBK stays
      {"StreamTitle='中文 - 歌';", "\xD6\xD0\xCE\xC4 - \xB8\xE8", std::nullopt},  // UTF-8
      {"StreamTitle='\xF0\x9F\x8E\xB5 中';", "? \xD6\xD0", std::nullopt},         // no emoji in GBK
      {"nothing like a field", std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    const IcyMetadata m = ParseIcyMetadata(c.block);
    EXPECT_EQ(m.title, c.title) << c.block;
    EXPECT_EQ(m.url, c.url) << c.block;
  }
}

TEST(StreamText, OnlyWellFormedUtf8IsTakenForUtf8) {
  EXPECT_TRUE(IsValidUtf8("plain ASCII"));
  EXPECT_TRUE(IsValidUtf8("\xF4\x8F\xBF\xBF"));   // U+10FFFF
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong "/"
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // a surrogate
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // past U+10FFFF
  EXPECT_FALSE(IsValidUtf8("\xE4\xB8"));          // cut off
  EXPECT_FALSE(IsValidUtf8("\xC4\xE3\xBA\xC3"));  // "你好" in GBK
  EXPECT_EQ(StreamTextToGbk("\xC4\xE3\xBA\xC3"), "\xC4\xE3\xBA\xC3");
  EXPECT_EQ(Utf16ToUtf8(std::string("\x3C\xD8\xB5\xDF\x2D\x4E\x00\xD8", 8), false),
            "\xF0\x9F\x8E\xB5\xE4\xB8\xAD\xEF\xBF\xBD");  // a pair, 中, a lone surrogate
}

// However long a title a server sends, the listener gets at most the cap, cut between two
// characters, converted as StreamTextToGbk converts the whole title.
TEST(StreamText, ATitleIsCutAtACharacterWithinTheCap) {
  constexpr size_t kCap = limits::kMaxTitleBytes;
  const auto repeat = [](std::string_view text, size_t times) {
    std::string out;
    for (size_t i = 0; i < times; ++i)
      out += text;
    return out;
  };
  const std::string zhong_gbk = "\xD6\xD0";
  const struct {
    const char* what;
    std::string raw;
    std::string shown;
  } cases[] = {
      {"short", "Artist - Song", "Artist - Song"},
      {"long UTF-8", repeat("中", 1000), repeat(zhong_gbk, kCap / 2)},
      {"long UTF-8, odd start", "a" + repeat("中", 1000), "a" + repeat(zhong_gbk, kCap / 2 - 1)},
      {"long GBK", repeat(zhong_gbk, 1000), repeat(zhong_gbk, kCap / 2)},
      {"long GBK, odd start", "a" + repeat(zhong_gbk, 1000), "a" + repeat(zhong_gbk, kCap / 2 - 1)},
      {"characters GBK lacks", repeat("\xF0\x9F\x8E\xB5", 1000), std::string(kCap, '?')},
      // Not UTF-8 as a whole, however much of its start is: taken as GBK as it is.
      {"UTF-8 start, broken end", repeat("中", 1000) + "\xFF", repeat("中", 1000).substr(0, kCap)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StreamTitleForListener(c.raw), c.shown) << c.what;
    EXPECT_EQ(ParseIcyMetadata("StreamTitle='" + c.raw + "';").title, c.shown) << c.what;
  }
}

}  // namespace
}  // namespace lumio::stream

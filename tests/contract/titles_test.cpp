// Stream titles on both players: what a station sends in GBK or in UTF-8 reaches the program as
// the same GBK bytes, and a title longer than any window is cut between two characters.

#include "contract/contract_support.h"
#include "stream/stream_limits.h"

namespace lumio::test {
namespace {

// Whether `text` ends on a whole GBK character (a lead byte 0x81..0xFE takes the next one).
bool EndsOnACharacter(const std::string& text) {
  size_t at = 0;
  while (at < text.size()) {
    const auto byte = static_cast<unsigned char>(text[at]);
    at += byte >= 0x81 && byte <= 0xFE ? 2 : 1;
  }
  return at == text.size();
}

TEST(Titles, ReachTheProgramAsGbkByteForByteAndCutBetweenCharacters) {
  LUMIO_CONTRACT_CASE();
  const std::string gbk = "\xD6\xD0\xCE\xC4\xB5\xE7\xCC\xA8 - Song";  // 中文电台 - Song
  struct Row {
    const char* name;
    const char* path;
  };
  const Row rows[] = {
      {"gbk", "/title/gbk.mp3"}, {"utf8", "/title/utf8.mp3"}, {"long", "/title/long.mp3"}};
  std::vector<std::pair<const Row*, std::unique_ptr<TestPlayer>>> players;
  for (const Row& row : rows) {
    if (const char* known = KnownFaultOfThisCase(row.name)) {
      std::printf("[  KNOWN   ] %s on the %s player: %s\n", row.name, PlayerName(), known);
      continue;
    }
    players.emplace_back(&row, MakePlayer());
    players.back().second->player().SetURL(StationUrl(row.path));
  }
  WaitUntil(
      [&] {
        bool all = true;
        for (auto& [row, made] : players)
          all = made->player().GetTitle() != "" && all;
        return all;
      },
      kPlayWithin);
  for (auto& [row, made] : players) {
    SCOPED_TRACE(std::string(row->name) + ": " + made->LastError());
    MediaPlayer& player = made->player();
    EXPECT_EQ(player.GetPlayState(), kPlaying);
    const std::string title = player.GetTitle();
    if (std::string(row->name) != "long") {
      EXPECT_EQ(title, gbk);
      continue;
    }
    // "a" and then 中 after 中: cut anywhere but between two characters, the length is odd.
    ASSERT_FALSE(title.empty());
    EXPECT_LE(title.size(), stream::limits::kMaxTitleBytes);
    EXPECT_GE(title.size(), stream::limits::kMaxTitleBytes - 2) << "cut shorter than it must";
    EXPECT_TRUE(EndsOnACharacter(title)) << "cut inside a character";
    EXPECT_EQ(title.size() % 2, 1u);
    std::string expected = "a";
    while (expected.size() + 2 <= title.size())
      expected += "\xD6\xD0";
    EXPECT_EQ(title, expected);
  }
  // A new station starts without the old one's title.
  for (auto& [row, made] : players) {
    made->player().SetURL(StationUrl("/tone.aac"));
    EXPECT_EQ(made->player().GetTitle(), "") << row->name;
  }
}

}  // namespace
}  // namespace lumio::test

// The command line and the commands a later start hands to the running program: what is
// refused before anything is sent, that the text between the two starts survives the trip and
// refuses anything else, and what each command does to the running program.

#include "app/command_line.h"

#include <filesystem>
#include <memory>

#include <gtest/gtest.h>

#include "app/radio_dlg.h"
#include "catalogue/station_list_file.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_media_player.h"
#include "fakes/fake_window_layer.h"
#include "support/temp_dir.h"

namespace lumio {
namespace {

using Args = std::vector<std::string>;

TEST(CommandLineTest, ArgumentsGiveOneCommandOrALineThatSaysWhatIsWrong) {
  const struct {
    Args args;
    std::optional<ProgramCommand> command;
    const char* errorPart;
  } cases[] = {
      {{}, ProgramCommand{}, ""},
      {{"--record"}, ProgramCommand{CommandKind::kRecord, 0}, ""},
      {{"--stop-recording"}, ProgramCommand{CommandKind::kStopRecording, 0}, ""},
      {{"--sleep", "30"}, ProgramCommand{CommandKind::kSleep, 30}, ""},
      {{"--sleep=0"}, ProgramCommand{CommandKind::kSleep, 0}, ""},
      {{"--sleep", "1440"}, ProgramCommand{CommandKind::kSleep, 1440}, ""},
      {{"--play", "1234"}, ProgramCommand{CommandKind::kPlay, 1234}, ""},
      {{"--record", "--help"}, ProgramCommand{CommandKind::kHelp, 0}, ""},
      {{"--sleep", "-5"}, std::nullopt, "from 0 to 1440"},
      {{"--sleep", "1441"}, std::nullopt, "from 0 to 1440"},
      {{"--sleep", "ten"}, std::nullopt, "\"ten\""},
      {{"--sleep", "99999999999999999999"}, std::nullopt, "from 0 to 1440"},
      {{"--sleep"}, std::nullopt, "needs a number"},
      {{"--play", "0"}, std::nullopt, "NID"},
      {{"--play", "3000000000"}, std::nullopt, "NID"},
      {{"--record=1"}, std::nullopt, "unknown argument \"--record=1\""},
      {{"--recrod"}, std::nullopt, "unknown argument \"--recrod\"; see lumio --help"},
      {{"\x1b[2J"}, std::nullopt, "unknown argument \"?[2J\""},
      {{"--record", "--sleep", "5"}, std::nullopt, "one command at a time"},
  };
  for (const auto& c : cases) {
    const ParsedArguments parsed = ParseArguments(c.args);
    const std::string shown = c.args.empty() ? "(none)" : c.args.front();
    EXPECT_EQ(parsed.command, c.command) << shown;
    if (c.command) continue;
    EXPECT_NE(parsed.error.find(c.errorPart), std::string::npos) << shown << ": " << parsed.error;
  }
}

TEST(CommandLineTest, TheTextBetweenTheStartsSurvivesTheTripAndRefusesAnythingElse) {
  for (const ProgramCommand command :
       {ProgramCommand{}, ProgramCommand{CommandKind::kRecord, 0},
        ProgramCommand{CommandKind::kStopRecording, 0}, ProgramCommand{CommandKind::kSleep, 0},
        ProgramCommand{CommandKind::kSleep, 1440}, ProgramCommand{CommandKind::kPlay, INT32_MAX}}) {
    const std::string text = FormatCommandText(command);
    EXPECT_LE(text.size(), kCommandTextMax);
    EXPECT_EQ(ParseCommandText(text), command) << text;
  }
  EXPECT_EQ(ParseCommandText(""), ProgramCommand{});  // a start that only knocks
  for (const std::string& bad : std::vector<std::string>{
           "record\n", "lumio/1 sleep 2000\n", "lumio/1 sleep\n", "lumio/1 play -1\n",
           "lumio/1 record 5\n", "lumio/1 sleep 5 6\n", std::string("lumio/1 record\0", 15),
           "lumio/1 show" + std::string(100, ' '), "lumio/1 play 0x10\n"})
    EXPECT_EQ(ParseCommandText(bad), std::nullopt) << bad;

  const CommandAnswer answer{true, "lumio: playing 中国之声"};
  EXPECT_EQ(ParseAnswerText(FormatAnswerText(answer)), answer);
  // A long answer is cut whole characters short of the cap, and still reads.
  const CommandAnswer longAnswer{false, std::string(1000, 'x') + "\n\x1b"};
  const std::string longText = FormatAnswerText({false, std::string(507, 'x') + "中"});
  EXPECT_LE(longText.size(), kAnswerTextMax);
  EXPECT_EQ(longText, "no " + std::string(507, 'x') + "\n");
  EXPECT_FALSE(ParseAnswerText(FormatAnswerText(longAnswer)).ok);
  EXPECT_EQ(ParseAnswerText("ok \x1b[31mred\n").line, "?[31mred");
  EXPECT_EQ(ParseAnswerText("ok cut"), (CommandAnswer{false, NoAnswerLine()}));
  EXPECT_EQ(ParseAnswerText(""), (CommandAnswer{false, NoAnswerLine()}));
}

StationRecord Station(int32_t nid, std::string name) {
  StationRecord r;
  r.nid = nid;
  r.name = std::move(name);
  r.url = "http://127.0.0.1/" + std::to_string(nid);
  r.contentCategory = 4;
  return r;
}

TEST(CommandLineTest, EachCommandActsOnTheRunningProgramAndAnswersWithoutAMessageBox) {
  test::TempDir dir;
  test::FakeWindowLayer window;
  test::FakeMediaPlayer player;
  test::FakeClock clock;
  std::filesystem::create_directory(dir.File("config"));
  // A command right after start-up, before the catalogue's own load.
  ASSERT_TRUE(
      SaveStationList(dir.File("config/chlst.ini"), {Station(7, "CNR News"), Station(9, "Music")}));
  CRadioDlg dlg(window, player, clock, dir.path());
  ASSERT_TRUE(dlg.OnInitDialog());
  const auto send = [&](const ProgramCommand& command) {
    return CarryOutCommandText(dlg, FormatCommandText(command));
  };

  // Nothing plays: nothing to record, and the reason goes back rather than into a box.
  CommandAnswer answer = send({CommandKind::kRecord, 0});
  EXPECT_FALSE(answer.ok);
  EXPECT_NE(answer.line.find("没有正在播放的电台"), std::string::npos) << answer.line;
  EXPECT_FALSE(send({CommandKind::kPlay, 8}).ok);
  EXPECT_TRUE(player.urls.empty());

  answer = send({CommandKind::kPlay, 9});
  EXPECT_TRUE(answer.ok);
  EXPECT_EQ(answer.line, "lumio: playing Music");
  EXPECT_EQ(player.urls, std::vector<std::string>{"http://127.0.0.1/9"});

  answer = send({CommandKind::kRecord, 0});
  EXPECT_TRUE(answer.ok) << answer.line;
  EXPECT_TRUE(dlg.m_timed.Features().IsRecording());
  EXPECT_TRUE(send({CommandKind::kStopRecording, 0}).ok);
  EXPECT_FALSE(dlg.m_timed.Features().IsRecording());
  EXPECT_TRUE(send({CommandKind::kStopRecording, 0}).ok);  // nothing left to stop is no fault

  // Any number of minutes, not only the menu's choices; 0 takes the timer away.
  EXPECT_TRUE(send({CommandKind::kSleep, 200}).ok);
  EXPECT_TRUE(dlg.m_timed.Features().Sleep().IsSet());
  EXPECT_NE(dlg.m_timed.Features().SleepText().find("200:00"), std::string::npos)
      << dlg.m_timed.Features().SleepText();
  EXPECT_TRUE(send({CommandKind::kSleep, 0}).ok);
  EXPECT_FALSE(dlg.m_timed.Features().Sleep().IsSet());

  EXPECT_FALSE(CarryOutCommandText(dlg, "lumio/1 sleep 99999\n").ok);
  EXPECT_FALSE(dlg.m_timed.Features().Sleep().IsSet());
  EXPECT_TRUE(window.messageBoxes.empty());
}

}  // namespace
}  // namespace lumio

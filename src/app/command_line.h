#pragma once
// The program's command line, and the commands a later start hands to the running program:
// what the arguments ask for, the short text both programs pass between the two starts, the
// one-line answer that comes back, and what the running program does with each command. The
// window layers only carry the bytes and print the lines.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumio {

class CRadioDlg;

enum class CommandKind { kShow, kRecord, kStopRecording, kSleep, kPlay, kHelp };

struct ProgramCommand {
  CommandKind kind = CommandKind::kShow;
  int32_t value = 0;  // the minutes of kSleep, the station's NID of kPlay
  friend bool operator==(const ProgramCommand&, const ProgramCommand&) = default;
};

// The sleep timer a command may set, in minutes: a day at most; 0 cancels.
inline constexpr int32_t kMaxSleepMinutes = 1440;
// The most bytes of a command's text and of an answer; anything longer is refused whole.
inline constexpr size_t kCommandTextMax = 64;
inline constexpr size_t kAnswerTextMax = 512;
// How long a later start waits for the running program's answer: it may be busy starting its
// player, but a program that never answers must not hang a script.
inline constexpr int32_t kAnswerWaitMs = 10000;

struct ParsedArguments {
  std::optional<ProgramCommand> command;  // none when refused
  std::string error;                      // the line to print when refused (UTF-8)
  // Refused, but some argument may be the window toolkit's own (a session manager restores
  // the program with "-session ID"; "-style", "-display"...): only the toolkit can tell, so
  // what it leaves is parsed again, and only that refusal counts.
  bool toolkitMayTake = false;
};

// The arguments after the program's name (UTF-8 or bytes); no argument shows the window.
ParsedArguments ParseArguments(const std::vector<std::string>& arguments);
// What --help prints (UTF-8, lines ending in "\n").
std::string HelpText();
// Printed by a later start that has a command but finds no running program.
std::string NoProgramLine();
// Printed when the running program took the command but its answer never came.
std::string NoAnswerLine();

// The command as the later start sends it; kHelp is never sent.
std::string FormatCommandText(const ProgramCommand& command);
// Any bytes at all, from whichever process could reach the channel: the command, or none.
// Empty bytes are a plain start (a program that only knocks).
std::optional<ProgramCommand> ParseCommandText(std::string_view bytes);

struct CommandAnswer {
  bool ok = false;
  std::string line;  // UTF-8, one line, for the terminal of the later start
  friend bool operator==(const CommandAnswer&, const CommandAnswer&) = default;
};

std::string FormatAnswerText(const CommandAnswer& answer);
// Any bytes: a garbled or cut answer is a refusal, and no control character reaches the
// terminal.
CommandAnswer ParseAnswerText(std::string_view bytes);

// What the running program does with command text received from a later start: carries it out
// on `dlg` (never opening a message box: the reason goes back in the answer instead). A plain
// start shows the window; the window layer brings it forward as well.
CommandAnswer CarryOutCommandText(CRadioDlg& dlg, std::string_view bytes);

}  // namespace lumio

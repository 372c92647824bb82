#include "app/command_line.h"

#include "app/radio_dlg.h"
#include "ports/control_ids.h"
#include "store/number_text.h"
#include "text/gbk.h"

namespace lumio {
namespace {

constexpr std::string_view kTextPrefix = "lumio/1 ";

struct Verb {
  std::string_view option;  // on the command line
  std::string_view word;    // in the text between the two starts
  CommandKind kind;
  bool takesNumber;
};

constexpr Verb kVerbs[] = {
    {"--record", "record", CommandKind::kRecord, false},
    {"--stop-recording", "stop-recording", CommandKind::kStopRecording, false},
    {"--sleep", "sleep", CommandKind::kSleep, true},
    {"--play", "play", CommandKind::kPlay, true},
    {"--help", "", CommandKind::kHelp, false},
    {"-h", "", CommandKind::kHelp, false},
    {"", "show", CommandKind::kShow, false},
};

// An argument as it may be shown on a terminal: printable, and short.
std::string Printable(std::string_view text) {
  std::string out;
  for (const char c : text.substr(0, 60))
    out += (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) ? '?' : c;
  if (text.size() > 60) out += "...";
  return out;
}

// The number's range check, the same for the command line and for the text received: a
// refusal line, or "" when it is fine.
std::string RangeProblem(CommandKind kind, std::optional<int64_t> value, std::string_view text) {
  if (kind == CommandKind::kSleep && (!value || *value > kMaxSleepMinutes))
    return "lumio: --sleep takes minutes from 0 to 1440 (0 cancels), not \"" + Printable(text) +
           "\"";
  if (kind == CommandKind::kPlay && (!value || *value < 1 || *value > INT32_MAX))
    return "lumio: --play takes a station's NID (a number from 1), not \"" + Printable(text) + "\"";
  return {};
}

std::string Utf8(const std::string& gbk) {
  return GbkToUtf8Lossy(gbk);
}

CommandAnswer Ok(std::string line) {
  return {true, std::move(line)};
}
CommandAnswer No(std::string line) {
  return {false, std::move(line)};
}

CommandAnswer CarryOut(CRadioDlg& dlg, const ProgramCommand& command) {
  RecordingAndTimers& timed = dlg.m_timed;
  switch (command.kind) {
    case CommandKind::kShow:
    case CommandKind::kHelp:
      dlg.OnCommand(kCmdShowWindow);
      return Ok("lumio: the window is shown");
    case CommandKind::kRecord: {
      const std::string refusal = timed.StartRecording();
      if (!refusal.empty()) return No("lumio: not recording: " + Utf8(refusal));
      return Ok("lumio: recording " + Utf8(timed.PlayingStation()->name));
    }
    case CommandKind::kStopRecording:
      if (!timed.Features().IsRecording()) return Ok("lumio: no recording was running");
      timed.OnCommand(kCmdStopRecording);
      return Ok("lumio: the recording is stopped");
    case CommandKind::kSleep:
      timed.SetSleepTimer(command.value);
      if (command.value == 0) return Ok("lumio: the sleep timer is cancelled");
      return Ok("lumio: playback stops in " + std::to_string(command.value) + " minutes");
    case CommandKind::kPlay:
      if (!timed.PlayStationById(command.value, {}))
        return No("lumio: no station with NID " + std::to_string(command.value) +
                  " in the catalogue or the favourites");
      if (const auto playing = timed.PlayingStation())
        return Ok("lumio: playing " + Utf8(playing->name));
      return Ok("lumio: playing station " + std::to_string(command.value));
  }
  return No("lumio: unknown command");
}

// The toolkit's options are one dash and a word; ours are two dashes, or "-h".
bool MayBeToolkitOption(std::string_view argument) {
  return argument.size() >= 2 && argument[0] == '-' &&
         ((argument[1] >= 'a' && argument[1] <= 'z') ||
          (argument[1] >= 'A' && argument[1] <= 'Z')) &&
         argument != "-h";
}

ParsedArguments ParseOwnArguments(const std::vector<std::string>& arguments) {
  ParsedArguments parsed;
  ProgramCommand command;
  bool given = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    std::string_view argument = arguments[i];
    std::optional<std::string_view> attached;  // "--sleep=30"
    if (const size_t equals = argument.find('=');
        argument.starts_with("--") && equals != 0 && equals != std::string_view::npos) {
      attached = argument.substr(equals + 1);
      argument = argument.substr(0, equals);
    }
    const Verb* verb = nullptr;
    for (const Verb& candidate : kVerbs) {
      if (!candidate.option.empty() && candidate.option == argument) verb = &candidate;
    }
    if (verb == nullptr || (attached && !verb->takesNumber)) {
      parsed.error =
          "lumio: unknown argument \"" + Printable(arguments[i]) + "\"; see lumio --help";
      return parsed;
    }
    if (verb->kind == CommandKind::kHelp) return {ProgramCommand{CommandKind::kHelp, 0}, {}};
    if (given) {
      parsed.error = "lumio: one command at a time, not also \"" + Printable(arguments[i]) +
                     "\"; see lumio --help";
      return parsed;
    }
    given = true;
    command = {verb->kind, 0};
    if (!verb->takesNumber) continue;
    if (!attached && i + 1 >= arguments.size()) {
      parsed.error = "lumio: " + std::string(verb->option) + " needs a number; see lumio --help";
      return parsed;
    }
    const std::string_view text = attached ? *attached : std::string_view(arguments[++i]);
    const std::optional<int64_t> value = ParseDigits(text, 10);
    if (std::string problem = RangeProblem(verb->kind, value, text); !problem.empty()) {
      parsed.error = std::move(problem);
      return parsed;
    }
    command.value = static_cast<int32_t>(*value);
  }
  parsed.command = command;
  return parsed;
}

}  // namespace

ParsedArguments ParseArguments(const std::vector<std::string>& arguments) {
  ParsedArguments parsed = ParseOwnArguments(arguments);
  if (!parsed.command) {
    for (const std::string& argument : arguments)
      parsed.toolkitMayTake = parsed.toolkitMayTake || MayBeToolkitOption(argument);
  }
  return parsed;
}

std::string HelpText() {
  return "Usage: lumio [COMMAND]\n"
         "Without a command, starts Lumio, or shows the window of the Lumio already running.\n"
         "A command is handed to the Lumio already running:\n"
         "  --record            record the station playing\n"
         "  --stop-recording    stop the recording\n"
         "  --sleep MINUTES     stop playback in MINUTES minutes (1 to 1440); 0 cancels\n"
         "  --play NID          play the station with this NID from the catalogue or the "
         "favourites\n"
         "  --help              show this text\n"
         "Ends with status 0 when the running Lumio did what was asked, else with another "
         "status.\n";
}

std::string NoProgramLine() {
  return "lumio: no Lumio is running (start it first, then give the command)";
}

std::string NoAnswerLine() {
  return "lumio: the running Lumio did not answer";
}

std::string FormatCommandText(const ProgramCommand& command) {
  for (const Verb& verb : kVerbs) {
    if (verb.kind != command.kind || verb.word.empty()) continue;
    std::string text = std::string(kTextPrefix) + std::string(verb.word);
    if (verb.takesNumber) text += " " + std::to_string(command.value);
    return text + "\n";
  }
  return std::string(kTextPrefix) + "show\n";
}

std::optional<ProgramCommand> ParseCommandText(std::string_view bytes) {
  if (bytes.empty()) return ProgramCommand{};
  if (bytes.size() > kCommandTextMax || !bytes.starts_with(kTextPrefix)) return std::nullopt;
  bytes.remove_prefix(kTextPrefix.size());
  if (bytes.ends_with('\n')) bytes.remove_suffix(1);
  const size_t space = bytes.find(' ');
  const std::string_view word = bytes.substr(0, space);
  for (const Verb& verb : kVerbs) {
    if (verb.word.empty() || verb.word != word) continue;
    if (!verb.takesNumber) {
      if (space != std::string_view::npos) return std::nullopt;
      return ProgramCommand{verb.kind, 0};
    }
    if (space == std::string_view::npos) return std::nullopt;
    const std::string_view text = bytes.substr(space + 1);
    const std::optional<int64_t> value = ParseDigits(text, 10);
    if (!RangeProblem(verb.kind, value, text).empty()) return std::nullopt;
    return ProgramCommand{verb.kind, static_cast<int32_t>(*value)};
  }
  return std::nullopt;
}

std::string FormatAnswerText(const CommandAnswer& answer) {
  std::string line = answer.line.substr(0, kAnswerTextMax - 4);
  // A cut must not leave half a UTF-8 character behind.
  if (line.size() < answer.line.size()) {
    while (!line.empty() && (static_cast<unsigned char>(line.back()) & 0xC0) == 0x80)
      line.pop_back();
    if (!line.empty() && static_cast<unsigned char>(line.back()) >= 0xC0) line.pop_back();
  }
  for (char& c : line) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return (answer.ok ? "ok " : "no ") + line + "\n";
}

CommandAnswer ParseAnswerText(std::string_view bytes) {
  if (bytes.size() > kAnswerTextMax || !bytes.ends_with('\n') ||
      !(bytes.starts_with("ok ") || bytes.starts_with("no ")))
    return No(NoAnswerLine());
  CommandAnswer answer{bytes.starts_with("ok "), {}};
  for (const char c : bytes.substr(3, bytes.size() - 4))
    answer.line += (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) ? '?' : c;
  return answer;
}

CommandAnswer CarryOutCommandText(CRadioDlg& dlg, std::string_view bytes) {
  const std::optional<ProgramCommand> command = ParseCommandText(bytes);
  if (!command) return No("lumio: the running Lumio did not understand the command");
  return CarryOut(dlg, *command);
}

}  // namespace lumio

// fuzz-links: lumio_core
// fuzz-max-len: 1024
// The texts between two starts of the program on any bytes, as the receiving side meets them:
// a command read is one the sending side could have written, and an answer read holds no
// control character for the terminal and reads the same once written again.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace lumio;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (const std::optional<ProgramCommand> command = ParseCommandText(bytes)) {
    if (command->kind == CommandKind::kHelp) std::abort();
    if (!bytes.empty() && bytes.size() > kCommandTextMax) std::abort();
    if (ParseCommandText(FormatCommandText(*command)) != command) std::abort();
  }
  const CommandAnswer answer = ParseAnswerText(bytes);
  for (const char c : answer.line) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) std::abort();
  }
  if (ParseAnswerText(FormatAnswerText(answer)) != answer) std::abort();
  return 0;
}

#include "tools/common/tool_main.h"

#include <cstdio>

namespace lumio::tools {
namespace {

bool WriteAll(std::FILE* stream, const std::string& text) {
  if (!text.empty() && std::fwrite(text.data(), 1, text.size(), stream) != text.size())
    return false;
  return std::fflush(stream) == 0 && !std::ferror(stream);
}

}  // namespace

int RunToolMain(const char* program, int argc, char** argv, ToolRun run) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i)
    args.emplace_back(argv[i]);
  ToolResult result = run(args);
  if (!WriteAll(stdout, result.out)) {
    std::fprintf(stderr, "%s: cannot write standard output\n", program);
    return result.status == 0 ? 1 : result.status;
  }
  WriteAll(stderr, result.err);
  return result.status;
}

}  // namespace lumio::tools

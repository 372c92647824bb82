#pragma once
// What one run of a command-line tool produces, and the main() that prints it. Tools build
// their whole output first, so that a failed run leaves standard output empty.

#include <string>
#include <vector>

namespace lumio::tools {

struct ToolResult {
  int status = 0;   // 0 done, 1 bad input or a failed write, 2 wrong usage
  std::string out;  // for standard output
  std::string err;  // for standard error
};

using ToolRun = ToolResult (*)(const std::vector<std::string>& args);

// Runs `run` with the arguments after the program name and prints its result; a failure to
// write standard output turns the status into 1 with a message from `program`.
int RunToolMain(const char* program, int argc, char** argv, ToolRun run);

}  // namespace lumio::tools

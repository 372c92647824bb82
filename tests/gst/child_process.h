#pragma once
// A program started by a test or a benchmark, ended (SIGTERM, then SIGKILL) by its owner's
// destructor at the latest.

#include <sys/types.h>

#include <string>
#include <vector>

namespace lumio::test {

class ChildProcess {
 public:
  // Starts `argv` (searched on PATH). Its stdout goes to `stdout_path` ("" keeps ours), its
  // stdin comes from a pipe when `with_stdin`, its stderr goes to /dev/null.
  ChildProcess(const std::vector<std::string>& argv, const std::string& stdout_path = "",
               bool with_stdin = false);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool running() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }
  // Writes to the child's stdin; false when it has none or it is gone.
  bool Write(const std::string& bytes);
  // Ends the child and reaps it; its exit status, or -1.
  int Stop();
  // Waits up to `timeout_ms` for the child to end by itself; its exit status, or -1.
  int Wait(int timeout_ms);

 private:
  pid_t pid_ = -1;
  int stdin_fd_ = -1;
};

// Runs `argv` to its end (at most `timeout_ms`), returning what it wrote to stdout.
std::string RunAndRead(const std::vector<std::string>& argv, int timeout_ms = 10000);

}  // namespace lumio::test

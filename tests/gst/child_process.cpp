#include "gst/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "support/temp_dir.h"

extern char** environ;

namespace lumio::test {

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::string& stdout_path,
                           bool with_stdin) {
  if (argv.empty()) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  int pipe_fds[2] = {-1, -1};
  if (with_stdin) {
    if (pipe2(pipe_fds, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_adddup2(&actions, pipe_fds[0], 0);
  } else {
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  }
  if (!stdout_path.empty()) {
    posix_spawn_file_actions_addopen(&actions, 1, stdout_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
  }
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);

  std::vector<char*> args;
  for (const std::string& arg : argv)
    args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) == 0) pid_ = pid;
  posix_spawn_file_actions_destroy(&actions);
  if (with_stdin) {
    close(pipe_fds[0]);
    stdin_fd_ = pipe_fds[1];
  }
}

ChildProcess::~ChildProcess() {
  Stop();
}

bool ChildProcess::Write(const std::string& bytes) {
  if (stdin_fd_ < 0) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = write(stdin_fd_, bytes.data() + done, bytes.size() - done);
    if (written <= 0) return false;
    done += static_cast<size_t>(written);
  }
  return true;
}

int ChildProcess::Wait(int timeout_ms) {
  if (pid_ <= 0) return -1;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (true) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      if (stdin_fd_ >= 0) close(stdin_fd_);
      stdin_fd_ = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    if (std::chrono::steady_clock::now() >= deadline) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

int ChildProcess::Stop() {
  if (stdin_fd_ >= 0) {
    close(stdin_fd_);
    stdin_fd_ = -1;
  }
  if (pid_ <= 0) return -1;
  kill(pid_, SIGTERM);
  const pid_t pid = pid_;
  int status = Wait(2000);
  if (pid_ > 0) {
    kill(pid, SIGKILL);
    status = Wait(2000);
  }
  return status;
}

std::string RunAndRead(const std::vector<std::string>& argv, int timeout_ms) {
  TempDir dir;
  const std::string out = dir.File("stdout");
  ChildProcess child(argv, out);
  if (child.Wait(timeout_ms) < 0 && child.running()) child.Stop();
  return ReadBytes(out);
}

}  // namespace lumio::test

#pragma once
// File permissions as an ordinary listener meets them. The tests usually run as root, who reads
// and writes any file whatever its permission bits; these helpers run a step as the unprivileged
// user "nobody" then, and as the test's own user otherwise.

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <optional>
#include <string>

namespace lumio::test {

inline constexpr uid_t kNobody = 65534;

inline bool RunningAsRoot() {
  return ::geteuid() == 0;
}

// Makes `path` belong to the user ListenerRuns runs as.
inline bool GiveToListener(const std::string& path) {
  return !RunningAsRoot() || ::chown(path.c_str(), kNobody, kNobody) == 0;
}

// The result of `step`, run as the listener: in a child process that drops to nobody when the
// test runs as root, in this process otherwise. nullopt when the child could not drop to nobody.
inline std::optional<bool> ListenerRuns(const std::function<bool()>& step) {
  if (!RunningAsRoot()) return step();
  const pid_t child = ::fork();
  if (child == 0) {
    if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
      ::_exit(2);
    ::_exit(step() ? 0 : 1);
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
      WEXITSTATUS(status) == 2)
    return std::nullopt;
  return WEXITSTATUS(status) == 0;
}

}  // namespace lumio::test

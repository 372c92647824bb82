#include "process_stats.h"

#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

namespace lumio::bench {

int64_t CpuTimeMs(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(in, line)) return -1;
  // The command name may hold spaces; fields are counted after its closing parenthesis.
  const size_t name_end = line.rfind(')');
  if (name_end == std::string::npos) return -1;
  std::istringstream fields(line.substr(name_end + 2));
  std::string field;
  int64_t utime = -1;
  int64_t stime = -1;
  for (int i = 3; i <= 15 && fields >> field; ++i) {
    if (i == 14) utime = std::stoll(field);
    if (i == 15) stime = std::stoll(field);
  }
  if (utime < 0 || stime < 0) return -1;
  return (utime + stime) * 1000 / sysconf(_SC_CLK_TCK);
}

int64_t PeakResidentKiB(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stoll(line.substr(6));
  }
  return -1;
}

}  // namespace lumio::bench

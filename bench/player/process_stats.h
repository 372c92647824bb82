#pragma once
// What a running process has cost so far, read from /proc.

#include <sys/types.h>

#include <cstdint>

namespace lumio::bench {

// CPU time (user + system) used by `pid` so far, in milliseconds; -1 when it cannot be read.
int64_t CpuTimeMs(pid_t pid);
// The peak resident memory of `pid` (VmHWM), in KiB; -1 when it cannot be read.
int64_t PeakResidentKiB(pid_t pid);

}  // namespace lumio::bench

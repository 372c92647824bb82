#include <windows.h>

#include "ports/clock.h"

namespace lumio {
namespace {

// 100-nanosecond steps from 1601-01-01 (FILETIME's epoch) to 1970-01-01.
constexpr ULONGLONG kUnixEpochTicks = 116444736000000000ULL;
constexpr ULONGLONG kTicksPerSecond = 10000000ULL;

ULONGLONG TicksOf(const FILETIME& time) {
  return (ULONGLONG{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

}  // namespace

// The zone's rules for that very date, so a moment in summer gets the summer offset whatever
// the season is now.
int32_t SystemClock::UtcOffsetSeconds(uint32_t utcSeconds) const {
  const ULONGLONG ticks = kUnixEpochTicks + ULONGLONG{utcSeconds} * kTicksPerSecond;
  FILETIME utcFile{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
  SYSTEMTIME utc{};
  SYSTEMTIME local{};
  FILETIME localFile{};
  if (!FileTimeToSystemTime(&utcFile, &utc) ||
      !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local) ||
      !SystemTimeToFileTime(&local, &localFile)) {
    return 0;
  }
  const auto difference = static_cast<long long>(TicksOf(localFile) - ticks);
  return static_cast<int32_t>(difference / static_cast<long long>(kTicksPerSecond));
}

}  // namespace lumio

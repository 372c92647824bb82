#include <time.h>

#include "ports/clock.h"

namespace lumio {

int32_t SystemClock::UtcOffsetSeconds(uint32_t utcSeconds) const {
  const time_t when = static_cast<time_t>(utcSeconds);
  struct tm local {};
  if (::localtime_r(&when, &local) == nullptr) return 0;
  return static_cast<int32_t>(local.tm_gmtoff);
}

}  // namespace lumio

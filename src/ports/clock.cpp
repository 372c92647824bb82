#include "ports/clock.h"

#include <chrono>

namespace lumio {

uint32_t SystemClock::NowSeconds() const {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::seconds>(now).count());
}

}  // namespace lumio

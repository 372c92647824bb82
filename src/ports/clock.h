#pragma once
#include <cstdint>

namespace lumio {

// Wall-clock time, as the program stamps records played or added to the favourites.
class Clock {
 public:
  virtual ~Clock() = default;
  // Seconds since 1 January 1970 UTC.
  virtual uint32_t NowSeconds() const = 0;
};

// The system clock.
class SystemClock final : public Clock {
 public:
  uint32_t NowSeconds() const override;
};

}  // namespace lumio

#pragma once
#include "ports/clock.h"

namespace lumio::test {

class FakeClock final : public Clock {
 public:
  uint32_t NowSeconds() const override { return now; }
  int32_t UtcOffsetSeconds(uint32_t) const override { return offset; }

  // Sets the clock to a local date and time under the current offset.
  void SetLocal(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                int32_t second = 0) {
    const int64_t local =
        DaysFromCivil(year, month, day) * kSecondsPerDay + hour * 3600 + minute * 60 + second;
    now = static_cast<uint32_t>(local - offset);
  }

  uint32_t now = 1'700'000'000;
  int32_t offset = 8 * 3600;  // China Standard Time
};

}  // namespace lumio::test

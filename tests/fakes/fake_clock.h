#pragma once
#include "ports/clock.h"

namespace lumio::test {

class FakeClock final : public Clock {
 public:
  uint32_t NowSeconds() const override { return now; }
  uint32_t now = 1'700'000'000;
};

}  // namespace lumio::test

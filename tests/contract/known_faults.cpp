#include "contract/known_faults.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

#include "contract/platform.h"

namespace lumio::test {
namespace {

struct KnownFault {
  const char* player;  // "linux" or "windows"
  const char* name;  // "Suite.Case", "Suite.Case/param" or "...:row"; a trailing * matches any end
  const char* why;
};

// What each player does wrong today, case by case: nothing now. A row names the case and why,
// e.g. {"linux", "ChainedOggFile.IsHeardChainAfterChain", "the second chain is not heard"}.
constexpr std::array<KnownFault, 0> kKnownFaults{};

struct Difference {
  const char* player;
  const char* kind;
  StreamFailure failure;
};

// Formats a platform has no decoder for: the listener reads why instead of hearing it.
constexpr Difference kDifferences[] = {
    {"windows", "ogg_vorbis", StreamFailure::kNotAudio},
    {"windows", "ogg_opus", StreamFailure::kNotAudio},
    {"windows", "chained_ogg_file", StreamFailure::kNotAudio},
    {"windows", "flac", StreamFailure::kNotAudio},
};

bool Matches(std::string_view pattern, std::string_view name) {
  if (pattern.ends_with('*')) return name.starts_with(pattern.substr(0, pattern.size() - 1));
  return pattern == name;
}

}  // namespace

const char* KnownFaultOfThisCase(std::string_view row) {
  const char* run = std::getenv("LUMIO_CONTRACT_KNOWN_FAULTS");
  if (run != nullptr && std::string_view(run) == "run") return nullptr;
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  if (test == nullptr) return nullptr;
  std::string name = std::string(test->test_suite_name()) + "." + test->name();
  if (!row.empty()) name += ":" + std::string(row);
  for (const KnownFault& fault : kKnownFaults) {
    if (std::string_view(fault.player) == PlayerName() && Matches(fault.name, name))
      return fault.why;
  }
  return nullptr;
}

std::optional<StreamFailure> DifferenceFor(std::string_view kind) {
  for (const Difference& difference : kDifferences) {
    if (std::string_view(difference.player) == PlayerName() && difference.kind == kind)
      return difference.failure;
  }
  return std::nullopt;
}

}  // namespace lumio::test

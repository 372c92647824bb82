#pragma once
// Counts the program's heap use through the global operator new and delete, so a benchmark can
// report allocations and live bytes per record. Counting costs nothing until it is switched on.

#include <cstddef>
#include <cstdint>

namespace lumio::bench {

struct HeapCounts {
  uint64_t allocations = 0;  // operator new calls
  int64_t liveBytes = 0;     // usable bytes allocated and not yet freed
  int64_t peakBytes = 0;     // the highest liveBytes reached
};

// Starts counting from zero; memory allocated before the start and freed while counting makes
// liveBytes lower by its size, so start with nothing to free pending.
void StartHeapCounting();

// Stops counting and returns what was counted since the start.
HeapCounts StopHeapCounting();

// The resident set size of the process in bytes (0 when /proc cannot be read), after giving the
// freed heap back to the system, so that differences show memory actually held.
int64_t ResidentBytes();

}  // namespace lumio::bench

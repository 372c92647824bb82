#include "bench/heap_counter.h"

#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <new>

namespace lumio::bench {
namespace {

// The benchmarks run on one thread; plain counters keep the measured code's cost unchanged.
bool g_counting = false;
HeapCounts g_counts;

// malloc, counted; nullptr when the memory is not there.
void* TryAllocate(size_t size) noexcept {
  void* p = std::malloc(size == 0 ? 1 : size);
  if (p != nullptr && g_counting) {
    ++g_counts.allocations;
    g_counts.liveBytes += static_cast<int64_t>(malloc_usable_size(p));
    if (g_counts.liveBytes > g_counts.peakBytes) g_counts.peakBytes = g_counts.liveBytes;
  }
  return p;
}

// A benchmark that runs out of memory has no result worth keeping: stop rather than throw.
void* Allocate(size_t size) noexcept {
  void* p = TryAllocate(size);
  if (p == nullptr) {
    std::fprintf(stderr, "out of memory allocating %zu bytes\n", size);
    std::abort();
  }
  return p;
}

// Over-aligned memory (the station texts' chunks), counted the same way.
void* AllocateAligned(size_t size, std::align_val_t alignment) noexcept {
  const size_t align = static_cast<size_t>(alignment);
  void* p = std::aligned_alloc(align, (size + align - 1) / align * align);
  if (p == nullptr) {
    std::fprintf(stderr, "out of memory allocating %zu bytes\n", size);
    std::abort();
  }
  if (g_counting) {
    ++g_counts.allocations;
    g_counts.liveBytes += static_cast<int64_t>(malloc_usable_size(p));
    if (g_counts.liveBytes > g_counts.peakBytes) g_counts.peakBytes = g_counts.liveBytes;
  }
  return p;
}

void Release(void* p) {
  if (p == nullptr) return;
  if (g_counting) g_counts.liveBytes -= static_cast<int64_t>(malloc_usable_size(p));
  std::free(p);
}

}  // namespace

void StartHeapCounting() {
  g_counts = {};
  g_counting = true;
}

HeapCounts StopHeapCounting() {
  g_counting = false;
  return g_counts;
}

int64_t ResidentBytes() {
  malloc_trim(0);
  std::FILE* statm = std::fopen("/proc/self/statm", "r");
  if (statm == nullptr) return 0;
  long size = 0;
  long resident = 0;
  const int read = std::fscanf(statm, "%ld %ld", &size, &resident);
  std::fclose(statm);
  if (read != 2) return 0;
  return static_cast<int64_t>(resident) * sysconf(_SC_PAGESIZE);
}

}  // namespace lumio::bench

// The replaceable global allocation functions, all routed through the counter.
void* operator new(size_t size) {
  return lumio::bench::Allocate(size);
}
void* operator new[](size_t size) {
  return lumio::bench::Allocate(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  return lumio::bench::TryAllocate(size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
  return lumio::bench::TryAllocate(size);
}
void operator delete(void* p) noexcept {
  lumio::bench::Release(p);
}
void operator delete[](void* p) noexcept {
  lumio::bench::Release(p);
}
void operator delete(void* p, size_t) noexcept {
  lumio::bench::Release(p);
}
void operator delete[](void* p, size_t) noexcept {
  lumio::bench::Release(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
  lumio::bench::Release(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
  lumio::bench::Release(p);
}
void* operator new(size_t size, std::align_val_t alignment) {
  return lumio::bench::AllocateAligned(size, alignment);
}
void operator delete(void* p, std::align_val_t) noexcept {
  lumio::bench::Release(p);
}
void operator delete(void* p, size_t, std::align_val_t) noexcept {
  lumio::bench::Release(p);
}

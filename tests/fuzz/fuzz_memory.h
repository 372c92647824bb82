#pragma once
// What the fuzzers of capped readers share: seeing, through AddressSanitizer, that a reader
// reads no byte past its cap and copies no more than a bounded amount. Without
// AddressSanitizer the checks see nothing and pass.

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LUMIO_FUZZ_ASAN 1
#include <sanitizer/allocator_interface.h>
#include <sanitizer/asan_interface.h>
#endif
#endif

namespace lumio {

// A copy of some bytes of which only the first `readable` may be read: AddressSanitizer
// reports a read of any byte after them.
class FencedBytes {
 public:
  FencedBytes(std::string_view bytes, size_t readable)
      : size_(bytes.size()), fence_(std::min(readable, bytes.size())), data_(new char[size_ + 1]) {
    std::memcpy(data_.get(), bytes.data(), size_);
#ifdef LUMIO_FUZZ_ASAN
    // Poisoning works in 8-byte granules: the fence moves up to the next one.
    fence_ = (fence_ + 7) / 8 * 8;
    if (fence_ < size_) ASAN_POISON_MEMORY_REGION(data_.get() + fence_, size_ - fence_);
#endif
  }
  ~FencedBytes() {
#ifdef LUMIO_FUZZ_ASAN
    if (fence_ < size_) ASAN_UNPOISON_MEMORY_REGION(data_.get() + fence_, size_ - fence_);
#endif
  }
  FencedBytes(const FencedBytes&) = delete;
  FencedBytes& operator=(const FencedBytes&) = delete;

  std::string_view view() const {
    return {data_.get(), size_};
  }

 private:
  size_t size_;
  size_t fence_;
  std::unique_ptr<char[]> data_;
};

namespace fuzz_detail {
inline bool watching = false;
inline size_t largest = 0;
inline void OnMalloc(const volatile void*, size_t size) {
  if (watching && size > largest) largest = size;
}
inline void OnFree(const volatile void*) {}
}  // namespace fuzz_detail

// Runs `work` and gives the largest single allocation it made (0 where that cannot be seen).
template <typename Work>
size_t LargestAllocationOf(Work&& work) {
#ifdef LUMIO_FUZZ_ASAN
  static const bool installed =
      __sanitizer_install_malloc_and_free_hooks(fuzz_detail::OnMalloc, fuzz_detail::OnFree) != 0;
  (void)installed;
#endif
  fuzz_detail::largest = 0;
  fuzz_detail::watching = true;
  work();
  fuzz_detail::watching = false;
  return fuzz_detail::largest;
}

}  // namespace lumio

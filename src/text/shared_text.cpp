#include "text/shared_text.h"

#include <cstring>
#include <new>
#include <ostream>

namespace lumio {
namespace {

// A chunk starts at a multiple of kChunkSize, so the chunk of a text is found from the text's
// address alone. A text longer than a chunk gets a chunk of its own, still starting there.
constexpr size_t kChunkSize = 64 * 1024;

struct Chunk {
  size_t refs;  // texts pointing into the chunk, plus one while it is being filled
  size_t used;  // bytes used after the header
};
constexpr size_t kHeader = sizeof(Chunk);

Chunk* ChunkOf(const char* text) {
  return reinterpret_cast<Chunk*>(reinterpret_cast<uintptr_t>(text) & ~(kChunkSize - 1));
}

char* Bytes(Chunk* chunk) {
  return reinterpret_cast<char*>(chunk) + kHeader;
}

Chunk* NewChunk(size_t capacity) {
  const size_t bytes = (kHeader + capacity + kChunkSize - 1) / kChunkSize * kChunkSize;
  void* memory = ::operator new (bytes, std::align_val_t{kChunkSize});
  return new (memory) Chunk{1, 0};
}

void Unref(Chunk* chunk) noexcept {
  if (--chunk->refs == 0) ::operator delete (chunk, std::align_val_t{kChunkSize});
}

// The chunk new texts go into. It holds a reference of its own until it is full.
class Filling {
 public:
  ~Filling() {
    if (chunk_) Unref(chunk_);
  }
  // Room for `size` bytes and a zero byte, counted as one more text of its chunk.
  char* Take(size_t size) {
    const size_t need = size + 1;
    if (need > kChunkSize - kHeader) {
      Chunk* own = NewChunk(need);
      own->used = need;
      return Bytes(own);  // its one reference is the text's
    }
    if (!chunk_ || chunk_->used + need > kChunkSize - kHeader) {
      if (chunk_) Unref(chunk_);
      chunk_ = NewChunk(kChunkSize - kHeader);
    }
    char* at = Bytes(chunk_) + chunk_->used;
    chunk_->used += need;
    ++chunk_->refs;
    return at;
  }

 private:
  Chunk* chunk_ = nullptr;
};

Filling& CurrentChunk() {
  static Filling filling;
  return filling;
}

}  // namespace

SharedText::SharedText(std::string_view text) : SharedText(text, {}) {}

SharedText::SharedText(std::string_view first, std::string_view second) {
  const size_t size = first.size() + second.size();
  if (size == 0) return;
  char* at = CurrentChunk().Take(size);
  std::memcpy(at, first.data(), first.size());
  if (!second.empty()) std::memcpy(at + first.size(), second.data(), second.size());
  at[size] = '\0';
  data_ = at;
  size_ = size;
}

void SharedText::Retain() const noexcept {
  if (data_) ++ChunkOf(data_)->refs;
}

void SharedText::Release() noexcept {
  if (data_) Unref(ChunkOf(data_));
  data_ = nullptr;
  size_ = 0;
}

SharedText& SharedText::operator=(const SharedText& other) noexcept {
  other.Retain();
  Release();
  data_ = other.data_;
  size_ = other.size_;
  return *this;
}

SharedText& SharedText::operator=(SharedText&& other) noexcept {
  if (this != &other) {
    Release();
    data_ = other.data_;
    size_ = other.size_;
    other.data_ = nullptr;
    other.size_ = 0;
  }
  return *this;
}

SharedText& SharedText::operator+=(std::string_view more) {
  if (!more.empty()) *this = SharedText(view(), more);
  return *this;
}

std::string operator+(const SharedText& a, std::string_view b) {
  std::string joined;
  joined.reserve(a.size() + b.size());
  return joined.append(a.view()).append(b);
}
std::string operator+(const SharedText& a, const std::string& b) {
  return a + std::string_view(b);
}
std::string operator+(const SharedText& a, const char* b) {
  return a + std::string_view(b);
}
std::string operator+(std::string_view a, const SharedText& b) {
  std::string joined;
  joined.reserve(a.size() + b.size());
  return joined.append(a).append(b.view());
}
std::string operator+(const std::string& a, const SharedText& b) {
  return std::string_view(a) + b;
}
std::string operator+(const char* a, const SharedText& b) {
  return std::string_view(a) + b;
}

std::ostream& operator<<(std::ostream& out, const SharedText& text) {
  return out << text.view();
}

}  // namespace lumio

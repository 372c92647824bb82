#pragma once
// An immutable text whose copies share their bytes, like the counted strings the station lists
// were built around. Texts are packed one after another into 64 KiB chunks; a chunk counts the
// texts that point into it and is freed with the last of them. Copying a text copies a pointer
// and bumps the count of its chunk, which the texts of neighbouring records share, so a view
// of a large catalogue is built and dropped without touching memory all over the heap.
// The value semantics are a string's: a change makes a new text and leaves every copy as it
// was. Like the station lists that hold them, texts belong to one thread.

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

namespace lumio {

class SharedText {
 public:
  SharedText() noexcept = default;
  // Implicit: wherever a text is wanted, any text will do.
  SharedText(std::string_view text);  // NOLINT(google-explicit-constructor)
  SharedText(const std::string& text) : SharedText(std::string_view(text)) {}  // NOLINT
  SharedText(const char* text) : SharedText(std::string_view(text)) {}         // NOLINT
  SharedText(const SharedText& other) noexcept : data_(other.data_), size_(other.size_) {
    Retain();
  }
  SharedText(SharedText&& other) noexcept : data_(other.data_), size_(other.size_) {
    other.data_ = nullptr;
    other.size_ = 0;
  }
  SharedText& operator=(const SharedText& other) noexcept;
  SharedText& operator=(SharedText&& other) noexcept;
  SharedText& operator=(std::string_view text) { return *this = SharedText(text); }
  SharedText& operator=(const std::string& text) { return *this = SharedText(text); }
  SharedText& operator=(const char* text) { return *this = SharedText(text); }
  ~SharedText() { Release(); }

  size_t size() const noexcept { return size_; }
  bool empty() const noexcept { return size_ == 0; }
  // Never null; the bytes are followed by a zero byte.
  const char* data() const noexcept { return data_ ? data_ : ""; }
  const char* c_str() const noexcept { return data(); }
  std::string_view view() const noexcept { return {data(), size_}; }
  operator std::string_view() const noexcept { return view(); }  // NOLINT
  std::string str() const { return std::string(view()); }
  char operator[](size_t i) const noexcept { return data()[i]; }

  // Replaces this text with itself followed by `more`; other copies keep the old text.
  SharedText& operator+=(std::string_view more);

  friend bool operator==(const SharedText& a, const SharedText& b) noexcept {
    return a.view() == b.view();
  }
  friend bool operator==(const SharedText& a, std::string_view b) noexcept { return a.view() == b; }
  friend bool operator==(const SharedText& a, const std::string& b) noexcept {
    return a.view() == b;
  }
  friend bool operator==(const SharedText& a, const char* b) noexcept { return a.view() == b; }
  friend auto operator<=>(const SharedText& a, const SharedText& b) noexcept {
    return a.view() <=> b.view();
  }

  friend std::string operator+(const SharedText& a, std::string_view b);
  friend std::string operator+(const SharedText& a, const std::string& b);
  friend std::string operator+(const SharedText& a, const char* b);
  friend std::string operator+(std::string_view a, const SharedText& b);
  friend std::string operator+(const std::string& a, const SharedText& b);
  friend std::string operator+(const char* a, const SharedText& b);

 private:
  SharedText(std::string_view first, std::string_view second);
  void Retain() const noexcept;
  void Release() noexcept;

  const char* data_ = nullptr;  // in a chunk; null for the empty text
  size_t size_ = 0;
};

std::ostream& operator<<(std::ostream& out, const SharedText& text);

}  // namespace lumio

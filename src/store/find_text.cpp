#include "store/find_text.h"

#include <cstring>

#include "text/gbk.h"

namespace lumio {

int64_t FindText(std::string_view text, std::string_view needle, size_t start) {
  if (needle.empty()) return static_cast<int64_t>(start);
  if (start > text.size()) return -1;
  if (needle.size() > text.size()) return -1;
  const char* data = text.data();
  const size_t last = text.size() - needle.size();  // last position a match can start at
  const char first = needle[0];
  size_t pos = start;
  if (needle.size() == 1) {  // the field separator: the common case, kept tight
    while (pos <= last) {
      const char c = data[pos];
      if (c == first) return static_cast<int64_t>(pos);
      pos += IsGbkLeadByte(static_cast<unsigned char>(c)) ? 2 : 1;
    }
    return -1;
  }
  while (pos <= last) {
    if (data[pos] == first && std::memcmp(data + pos, needle.data(), needle.size()) == 0)
      return static_cast<int64_t>(pos);
    pos += IsGbkLeadByte(static_cast<unsigned char>(data[pos])) ? 2 : 1;
  }
  return -1;
}

}  // namespace lumio

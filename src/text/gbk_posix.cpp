#include "text/gbk.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace lumio {
namespace {

// One iconv conversion descriptor, closed with its owner.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts the whole input; stops at the first invalid or unconvertible sequence and reports
  // how many input bytes were consumed.
  bool Convert(std::string_view in, std::string& out, size_t& consumed) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());  // iconv's signature is not const-correct
    size_t srcLeft = in.size();
    std::vector<char> buffer(in.size() * 2 + 16);
    bool complete = true;
    while (srcLeft > 0) {
      char* dst = buffer.data();
      size_t dstLeft = buffer.size();
      size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      out.append(buffer.data(), buffer.size() - dstLeft);
      if (r == static_cast<size_t>(-1)) {
        if (errno == E2BIG) continue;
        complete = false;
        break;
      }
    }
    consumed = in.size() - srcLeft;
    return complete;
  }

 private:
  iconv_t cd_;
};

std::optional<std::string> ConvertAll(const char* to, const char* from, std::string_view in) {
  Converter c(to, from);
  if (!c.ok()) return std::nullopt;
  std::string out;
  size_t consumed = 0;
  if (!c.Convert(in, out, consumed)) return std::nullopt;
  return out;
}

}  // namespace

std::optional<std::string> GbkToUtf8(std::string_view gbk) {
  return ConvertAll("UTF-8", "GBK", gbk);
}

std::optional<std::string> Utf8ToGbk(std::string_view utf8) {
  return ConvertAll("GBK", "UTF-8", utf8);
}

std::string GbkToUtf8Lossy(std::string_view gbk) {
  Converter c("UTF-8", "GBK");
  std::string out;
  if (!c.ok()) return out;
  while (!gbk.empty()) {
    size_t consumed = 0;
    if (c.Convert(gbk, out, consumed)) break;
    out += "\xEF\xBF\xBD";
    // Skip one byte, or a whole pair when a lead byte has a trail byte iconv refused.
    size_t skip = 1;
    if (consumed + 1 < gbk.size() && IsGbkLeadByte(static_cast<unsigned char>(gbk[consumed])) &&
        static_cast<unsigned char>(gbk[consumed + 1]) >= 0x40)
      skip = 2;
    gbk.remove_prefix(consumed + skip);
  }
  return out;
}

}  // namespace lumio

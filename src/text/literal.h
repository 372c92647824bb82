#pragma once
// Program texts are written in UTF-8 in the source and held as GBK in memory, like every other
// text of the program. A Literal converts its text once, on first use.

#include <string>
#include <string_view>

namespace lumio {

class Literal {
 public:
  explicit constexpr Literal(std::string_view utf8) : utf8_(utf8) {}

  // The text as GBK. The source literals are all representable, so this never fails.
  const std::string& gbk() const;
  std::string_view utf8() const { return utf8_; }
  operator const std::string&() const { return gbk(); }

 private:
  std::string_view utf8_;
  mutable std::string gbk_;
  mutable bool converted_ = false;
};

}  // namespace lumio

#include "text/literal.h"

#include "text/gbk.h"

namespace lumio {

const std::string& Literal::gbk() const {
  if (!converted_) {
    gbk_ = Utf8ToGbk(utf8_).value_or(std::string(utf8_));
    converted_ = true;
  }
  return gbk_;
}

}  // namespace lumio

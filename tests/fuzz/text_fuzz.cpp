// fuzz-links: lumio_core
// fuzz-max-len: 1114112
// The texts that arrive in streams, on arbitrary bytes: the UTF-8 check agrees with a decoder
// written from the definition, UTF-16 always becomes valid UTF-8, a stream text is converted
// only when it is UTF-8 and never grows, a title shown to the listener is that conversion cut
// within the cap between two characters, a GBK cut keeps whole characters, and entity decoding
// never lengthens a text. The seed corpus holds a megabyte of "&": a decoder that searches the
// rest of the text after every "&" runs into libFuzzer's timeout on it.

#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "stream/markup_scan.h"
#include "stream/stream_limits.h"
#include "stream/stream_text.h"
#include "text/gbk.h"

namespace lumio::stream {
namespace {

// Well-formed UTF-8 by decoding: the shortest form, no surrogate, nothing past U+10FFFF.
bool DecodesAsUtf8(std::string_view text) {
  static constexpr uint32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    size_t more = 0;
    uint32_t code = lead;
    if (lead >= 0x80) {
      if ((lead & 0xE0) == 0xC0) {
        more = 1;
        code = lead & 0x1F;
      } else if ((lead & 0xF0) == 0xE0) {
        more = 2;
        code = lead & 0x0F;
      } else if ((lead & 0xF8) == 0xF0) {
        more = 3;
        code = lead & 0x07;
      } else {
        return false;
      }
    }
    if (text.size() - i <= more) return false;
    for (size_t k = 1; k <= more; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    if (code < kSmallest[more] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
      return false;
    i += more + 1;
  }
  return true;
}

// Converting a long text that GBK cannot hold goes character by character: the comparisons
// that convert all of a text keep to inputs this long.
constexpr size_t kConvertedWhole = 16 * 1024;

}  // namespace
}  // namespace lumio::stream

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace lumio::stream;
  using lumio::Check;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  const bool utf8 = IsValidUtf8(bytes);
  Check(utf8 == DecodesAsUtf8(bytes), "the UTF-8 check agrees with decoding");
  for (const bool big_endian : {false, true}) {
    const std::string converted = Utf16ToUtf8(bytes, big_endian);
    Check(IsValidUtf8(converted), "UTF-16 becomes valid UTF-8");
    Check(converted.size() <= bytes.size() / 2 * 3, "no more than three bytes a code unit");
  }

  const std::string title = StreamTitleForListener(bytes);
  Check(title.size() <= limits::kMaxTitleBytes, "a title within the cap");
  Check(lumio::CutGbk(title, limits::kMaxTitleBytes) == title, "a title ends between characters");
  if (!utf8) Check(title == lumio::CutGbk(bytes, limits::kMaxTitleBytes), "GBK is only cut");
  if (bytes.size() <= kConvertedWhole) {
    const std::string gbk = StreamTextToGbk(bytes);
    Check(utf8 || gbk == bytes, "a text that is not UTF-8 is kept as it is");
    Check(gbk.size() <= bytes.size(), "a conversion to GBK never grows");
    Check(title == lumio::CutGbk(gbk, limits::kMaxTitleBytes),
          "a title is the converted text cut within the cap");
  }

  const size_t most = bytes.empty() ? 0 : static_cast<uint8_t>(bytes[0]);
  const std::string_view cut = lumio::CutGbk(bytes, most);
  Check(bytes.starts_with(cut) && cut.size() <= most, "a GBK cut is a start within the size");
  const size_t rest = bytes.size() - cut.size();
  const size_t next =
      rest > 0 && lumio::IsGbkLeadByte(static_cast<uint8_t>(bytes[cut.size()])) ? 2 : 1;
  Check(rest == 0 || cut.size() + next > most || next > rest,
        "a GBK cut keeps every whole character that fits");

  Check(DecodeEntities(bytes).size() <= bytes.size(), "entity decoding never lengthens a text");
  return 0;
}

#pragma once
// Texts that arrive inside a stream (ICY titles, playlist titles, ID3 frames) come in UTF-8 or
// in GBK with nothing to say which. The program keeps texts as GBK, so they are brought to GBK
// here: the rule the Linux player's GStreamer path applies too (valid UTF-8 is UTF-8, anything
// else is GBK already).

#include <cstdint>
#include <string>
#include <string_view>

namespace lumio::stream {

// True when `text` is well-formed UTF-8 (no overlong forms, surrogates or code points past
// U+10FFFF). ASCII is valid UTF-8.
bool IsValidUtf8(std::string_view text);

// `text` as GBK: valid UTF-8 is converted, each character GBK lacks (an emoji, say) becoming
// one "?", as the Windows code page 936 conversion does, so that the rest of the title
// survives; any other bytes are taken as GBK already and returned unchanged.
std::string StreamTextToGbk(std::string_view text);

// A stream title as the listener is shown it: StreamTextToGbk(raw) cut to
// limits::kMaxTitleBytes at a GBK character boundary. Only as much of `raw` is converted as
// the cut keeps, so a title of megabytes costs no more than a short one (bar one scan).
std::string StreamTitleForListener(std::string_view raw);

// Appends the UTF-8 form of `code_point` (at most U+10FFFF) to `out`.
void AppendUtf8(uint32_t code_point, std::string& out);

// UTF-16 code units (`big_endian` or little) to UTF-8; a lone surrogate becomes U+FFFD, an odd
// last byte is dropped.
std::string Utf16ToUtf8(std::string_view bytes, bool big_endian);

}  // namespace lumio::stream

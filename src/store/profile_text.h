#pragma once
// INI ("private profile") text, as pure functions over a file's bytes. Section and key names
// compare case-insensitively (ASCII letters, never the second byte of a GBK character); blanks
// around names and values are ignored, and so is one pair of matching quotes (" or ') around a
// value when it is read; lines starting with ";" are comments. The first matching section and
// the first matching key win.

#include <optional>
#include <string>
#include <string_view>

namespace lumio {

// The longest value a read returns, in bytes.
inline constexpr size_t kMaxProfileValue = 127;

// The value of `key` in `section`, without its quotes, cut to kMaxProfileValue bytes (never
// inside a GBK character); "" when the section or the key is absent.
std::string ReadProfileValue(std::string_view bytes, std::string_view section,
                             std::string_view key);

// The bytes with `key` in `section` set to `value`: an existing key line is replaced in place
// and keeps its line end; a missing key is added after the last line of its section; a missing
// section is added at the end. Every other byte is kept. nullopt when a name or the value
// holds a line break, or a name is empty or would not read back ("=" in a key, "]" in a
// section).
std::optional<std::string> WriteProfileValue(std::string_view bytes, std::string_view section,
                                             std::string_view key, std::string_view value);

}  // namespace lumio

#pragma once
// A forgiving tag scanner for the XML-ish playlists (ASX, XSPF). ASX files in the wild are
// rarely well-formed (upper-case tags, unquoted attributes, a bare "&" in addresses, missing
// end tags), so this reads tags and text one after the other and leaves nesting to the caller.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lumio::stream {

struct MarkupToken {
  enum class Kind { kStartTag, kEndTag, kText };
  Kind kind = Kind::kText;
  std::string name;  // a tag's local name (no "prefix:"), lower case
  std::vector<std::pair<std::string, std::string>> attributes;  // lower-case name, decoded value
  std::string text;                                             // decoded text, CDATA verbatim

  // The value of the attribute `name` (lower case), or empty.
  std::string_view Attribute(std::string_view name) const;
};

// `text` with the five XML entities and numeric character references (as UTF-8) replaced;
// anything else, a bare "&" included, is kept as it is.
std::string DecodeEntities(std::string_view text);

class MarkupScanner {
 public:
  // `whole` false says that the text was cut: an attribute's quote left open then ends the
  // text, as the cut ran through its tag (in a whole text it ends at the tag's end).
  explicit MarkupScanner(std::string_view text, bool whole = true) : rest_(text), whole_(whole) {}

  // Reads the next tag or text into `token`; false at the end of the text. Comments,
  // processing instructions and declarations are skipped; an unterminated construct ends the
  // text.
  bool Next(MarkupToken& token);

 private:
  // 1: a tag read; 0: no tag here; -1: a tag cut off by the end of the text.
  int ReadTag(MarkupToken& token);
  // False when the text ends before the tag does.
  bool ReadAttributes(MarkupToken& token);

  std::string_view rest_;
  bool whole_;
};

}  // namespace lumio::stream

#include "stream/markup_scan.h"

#include <cstdint>

#include "stream/stream_text.h"
#include "stream/text_scan.h"

namespace lumio::stream {
namespace {

bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == ':' || c == '.' || c == '-' || static_cast<unsigned char>(c) >= 0x80;
}

bool IsNameStart(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

// Removes the text up to and including `end`; false (and all text gone) when it never comes.
bool SkipPast(std::string_view& rest, std::string_view end) {
  const size_t at = rest.find(end);
  if (at == std::string_view::npos) {
    rest = {};
    return false;
  }
  rest.remove_prefix(at + end.size());
  return true;
}

// The longest reference name between "&" and ";" ("#x10FFFF" and longer with leading zeros).
constexpr size_t kMaxReferenceLength = 11;

bool DecodeReference(std::string_view name, std::string& out) {
  static constexpr std::pair<std::string_view, char> kNamed[] = {
      {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
  for (const auto& [entity, c] : kNamed) {
    if (name == entity) {
      out += c;
      return true;
    }
  }
  if (name.size() < 2 || name[0] != '#') return false;
  const bool hex = name[1] == 'x' || name[1] == 'X';
  const std::string_view digits = name.substr(hex ? 2 : 1);
  if (digits.empty() || digits.size() > 8) return false;
  uint32_t code = 0;
  for (char c : digits) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return false;
    code = code * (hex ? 16 : 10) + static_cast<uint32_t>(digit);
  }
  if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
  AppendUtf8(code, out);
  return true;
}

}  // namespace

std::string_view MarkupToken::Attribute(std::string_view wanted) const {
  for (const auto& [key, value] : attributes)
    if (key == wanted) return value;
  return {};
}

std::string DecodeEntities(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t amp = text.find('&', pos);
    if (amp == std::string_view::npos) break;
    out.append(text.substr(pos, amp - pos));
    // A reference is short, so its ";" is looked for nearby only: a far one belongs to
    // something else, and looking further would read the text again after every "&".
    const size_t semicolon = text.substr(amp + 1, kMaxReferenceLength + 1).find(';');
    if (semicolon != std::string_view::npos &&
        DecodeReference(text.substr(amp + 1, semicolon), out)) {
      pos = amp + 1 + semicolon + 1;
    } else {
      out += '&';
      pos = amp + 1;
    }
  }
  out.append(text.substr(std::min(pos, text.size())));
  return out;
}

bool MarkupScanner::Next(MarkupToken& token) {
  while (!rest_.empty()) {
    if (rest_[0] != '<') {
      // Text runs to the next "<" that can start markup; a stray "<" is text too.
      size_t end = 1;
      for (; end < rest_.size(); ++end) {
        if (rest_[end] != '<') continue;
        const char after = end + 1 < rest_.size() ? rest_[end + 1] : ' ';
        if (IsNameStart(after) || after == '/' || after == '!' || after == '?') break;
      }
      token = {};
      token.text = DecodeEntities(rest_.substr(0, end));
      rest_.remove_prefix(end);
      return true;
    }
    if (rest_.starts_with("<!--")) {
      SkipPast(rest_, "-->");
    } else if (rest_.starts_with("<![CDATA[")) {
      rest_.remove_prefix(9);
      const size_t end = rest_.find("]]>");
      token = {};
      token.text = rest_.substr(0, end);
      rest_ = end == std::string_view::npos ? std::string_view() : rest_.substr(end + 3);
      return true;
    } else if (rest_.starts_with("<?")) {
      SkipPast(rest_, "?>");
    } else if (rest_.starts_with("<!")) {
      SkipPast(rest_, ">");
    } else if (const int tag = ReadTag(token); tag != 0) {
      if (tag < 0) rest_ = {};
      return tag > 0;
    } else {
      token = {};
      token.text = "<";
      rest_.remove_prefix(1);
      return true;
    }
  }
  return false;
}

int MarkupScanner::ReadTag(MarkupToken& token) {
  std::string_view at = rest_.substr(1);
  const bool closing = at.starts_with('/');
  if (closing) at.remove_prefix(1);
  if (at.empty() || !IsNameStart(at[0])) return 0;
  size_t length = 0;
  while (length < at.size() && IsNameChar(at[length]))
    ++length;
  std::string_view name = at.substr(0, length);
  if (const size_t colon = name.rfind(':'); colon != std::string_view::npos)
    name.remove_prefix(colon + 1);
  token = {};
  token.kind = closing ? MarkupToken::Kind::kEndTag : MarkupToken::Kind::kStartTag;
  token.name = ToLowerAscii(name);
  rest_ = at.substr(length);
  const bool complete = closing ? SkipPast(rest_, ">") : ReadAttributes(token);
  return complete ? 1 : -1;
}

bool MarkupScanner::ReadAttributes(MarkupToken& token) {
  for (;;) {
    while (!rest_.empty() && (IsBlank(rest_[0]) || rest_[0] == '/'))
      rest_.remove_prefix(1);
    if (rest_.empty()) return false;
    if (rest_[0] == '>') {
      rest_.remove_prefix(1);
      return true;
    }
    size_t length = 0;
    while (length < rest_.size() && !IsBlank(rest_[length]) && rest_[length] != '=' &&
           rest_[length] != '>' && rest_[length] != '/')
      ++length;
    if (length == 0) length = 1;  // a stray "=" or quote: step over it
    std::string key = ToLowerAscii(rest_.substr(0, length));
    rest_.remove_prefix(length);
    std::string_view probe = rest_;
    while (!probe.empty() && IsBlank(probe[0]))
      probe.remove_prefix(1);
    std::string value;
    if (probe.starts_with('=')) {
      probe.remove_prefix(1);
      while (!probe.empty() && IsBlank(probe[0]))
        probe.remove_prefix(1);
      size_t end = 0;
      if (!probe.empty() && (probe[0] == '"' || probe[0] == '\'')) {
        // An unclosed quote ends at the tag's end.
        const char quote = probe[0];
        probe.remove_prefix(1);
        end = probe.find(quote);
        if (end == std::string_view::npos && !whole_) return false;
        if (end == std::string_view::npos) end = std::min(probe.find('>'), probe.size());
        value = DecodeEntities(probe.substr(0, end));
        if (end < probe.size() && probe[end] == quote) ++end;
      } else {
        while (end < probe.size() && !IsBlank(probe[end]) && probe[end] != '>')
          ++end;
        value = DecodeEntities(probe.substr(0, end));
      }
      probe.remove_prefix(end);
      rest_ = probe;
    }
    token.attributes.emplace_back(std::move(key), std::move(value));
  }
}

}  // namespace lumio::stream

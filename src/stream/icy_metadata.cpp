#include "stream/icy_metadata.h"

#include "stream/stream_limits.h"
#include "stream/stream_text.h"
#include "stream/text_scan.h"

namespace lumio::stream {
namespace {

bool IsKeyChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// True when `rest` (what follows a "';") is the end of the block or starts "Key='".
bool EndsValue(std::string_view rest) {
  while (!rest.empty() && IsBlank(rest[0]))
    rest.remove_prefix(1);
  if (rest.empty()) return true;
  size_t key = 0;
  while (key < rest.size() && IsKeyChar(rest[key]))
    ++key;
  return key > 0 && rest.substr(key).starts_with("='");
}

struct Field {
  std::string_view key;
  std::string_view value;
};

// Reads the field that starts at `text`; `text` is left at the field after it.
std::optional<Field> NextField(std::string_view& text) {
  text = Trim(text);
  const size_t open = text.find("='");
  if (open == std::string_view::npos) return std::nullopt;
  Field field{Trim(text.substr(0, open)), {}};
  const std::string_view rest = text.substr(open + 2);
  for (size_t close = rest.find("';"); close != std::string_view::npos;
       close = rest.find("';", close + 1)) {
    if (EndsValue(rest.substr(close + 2))) {
      field.value = rest.substr(0, close);
      text = rest.substr(close + 2);
      return field;
    }
  }
  const size_t quote = rest.rfind('\'');
  field.value = quote == std::string_view::npos ? rest : rest.substr(0, quote);
  text = {};
  return field;
}

}  // namespace

IcyMetadata ParseIcyMetadata(std::string_view block) {
  block = block.substr(0, limits::kMaxIcyMetadataBytes);
  const size_t used = block.find('\0');
  if (used != std::string_view::npos) block = block.substr(0, used);
  IcyMetadata metadata;
  while (std::optional<Field> field = NextField(block)) {
    if (EqualsIgnoreCase(field->key, "StreamTitle") && !metadata.title)
      metadata.title = StreamTitleForListener(field->value);
    else if (EqualsIgnoreCase(field->key, "StreamUrl") && !metadata.url)
      metadata.url = std::string(field->value);
  }
  return metadata;
}

}  // namespace lumio::stream

#include "tools/common/station_fit.h"

#include <string_view>
#include <utility>

#include "catalogue/station_line.h"
#include "catalogue/station_list_file.h"
#include "store/find_text.h"
#include "store/list_codec.h"

namespace lumio::tools {
namespace {

std::optional<std::string> WhyTextDoesNotFit(std::string_view field, std::string_view text) {
  // The reader splits with the lead-byte rule, so only a "|" that starts a character counts.
  if (FindText(text, "|", 0) >= 0)
    return std::string(field) + " contains \"|\", which separates the fields of a list file";
  if (text.find_first_of("\r\n") != std::string_view::npos)
    return std::string(field) + " contains a line break";
  return std::nullopt;
}

}  // namespace

std::optional<std::string> WhyListFileCannotHold(const StationRecord& record) {
  const std::pair<std::string_view, const SharedText*> texts[] = {
      {"extraText1", &record.extraText1},
      {"url", &record.url},
      {"name", &record.name},
      {"extraText2", &record.extraText2},
  };
  for (const auto& [field, text] : texts) {
    if (auto why = WhyTextDoesNotFit(field, *text)) return why;
  }
  const std::string line = FormatStationLine(record);
  if (line.size() >= kMaxListLine) {
    return "the record would take " + std::to_string(line.size()) +
           " bytes in a list file, where a line holds at most " + std::to_string(kMaxListLine - 1);
  }
  const std::string stored = EncodeListLines({line});
  if (!stored.empty() && (stored[0] == '[' || stored[0] == '#')) {
    return "extraText1 starts with \"%\" or \"]\", which the list file reader takes for a "
           "comment line and skips";
  }
  const StationList back = DecodeStationList(stored);
  if (back.size() != 1 || back.front() != record)
    return "the list file reader would not read the record back as written";
  return std::nullopt;
}

}  // namespace lumio::tools

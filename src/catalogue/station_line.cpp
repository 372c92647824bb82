#include "catalogue/station_line.h"

#include <charconv>

#include "store/number_text.h"

namespace lumio {
namespace {

template <typename Field>
StationRecord Parse(const std::vector<Field>& fields) {
  // Callers pass ten fields or more; a shorter list reads its missing fields as empty.
  auto f = [&fields](size_t i) -> std::string_view {
    return i < fields.size() ? std::string_view(fields[i]) : std::string_view();
  };
  StationRecord r;
  r.extraText1 = f(0);
  r.nid = ParseDecimal(f(1));
  r.contentCategory = ParseDecimal(f(2));
  r.regionCategory = ParseDecimal(f(3));
  r.extraNumber = ParseDecimal(f(4));
  r.popularity = ParseDecimal(f(5));
  r.url = f(6);
  r.timeStamp = ParseDecimalUnsigned(f(7));
  r.name = f(8);
  r.extraText2 = f(9);
  return r;
}

void AppendNumber(std::string& out, int64_t value) {
  char buffer[24];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, end);
}

}  // namespace

StationRecord ParseStationLine(const std::vector<std::string_view>& fields) {
  return Parse(fields);
}

StationRecord ParseStationLine(const std::vector<std::string>& fields) {
  return Parse(fields);
}

std::string FormatStationLine(const StationRecord& r) {
  std::string line;
  line.reserve(r.extraText1.size() + r.url.size() + r.name.size() + r.extraText2.size() + 64);
  line.append(r.extraText1).push_back('|');
  AppendNumber(line, r.nid);
  line.push_back('|');
  AppendNumber(line, r.contentCategory);
  line.push_back('|');
  AppendNumber(line, r.regionCategory);
  line.push_back('|');
  AppendNumber(line, r.extraNumber);
  line.push_back('|');
  AppendNumber(line, r.popularity);
  line.push_back('|');
  line.append(r.url).push_back('|');
  AppendNumber(line, r.timeStamp);
  line.push_back('|');
  line.append(r.name).push_back('|');
  line.append(r.extraText2).push_back('\n');
  return line;
}

}  // namespace lumio

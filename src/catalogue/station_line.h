#pragma once
// Conversion between a StationRecord and one unscrambled line of a station list file.

#include <string>
#include <string_view>
#include <vector>

#include "catalogue/station_record.h"

namespace lumio {

// The record of a line's fields (at least ten; later ones ignored), columns:
// extraText1|nid|contentCategory|regionCategory|extraNumber|popularity|url|timeStamp|name|
// extraText2. Fields are not trimmed; numbers read with ParseDecimal, timeStamp with
// ParseDecimalUnsigned.
StationRecord ParseStationLine(const std::vector<std::string_view>& fields);
StationRecord ParseStationLine(const std::vector<std::string>& fields);

// The record as one line of the writer's format, ending in "\n".
std::string FormatStationLine(const StationRecord& record);

}  // namespace lumio

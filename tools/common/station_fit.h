#pragma once
// Whether a station list file can hold a record so that the program reads back exactly that
// record. The writer silently leaves out what it cannot store and the reader silently
// misreads some texts, so a tool that writes list files asks first.

#include <optional>
#include <string>

#include "catalogue/station_record.h"

namespace lumio::tools {

// nullopt when the record reads back unchanged from a list file; otherwise why not (a field
// holding "|", CR or LF, a line of 512 bytes or more, a line the reader skips or misreads).
std::optional<std::string> WhyListFileCannotHold(const StationRecord& record);

}  // namespace lumio::tools

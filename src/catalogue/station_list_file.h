#pragma once
// Whole station list files: records in, records out.

#include <string>

#include "catalogue/station_record.h"

namespace lumio {

// The records of the list file at `path`, in file order, as the program reads them: lines that
// are not records or have fewer than ten fields are skipped. Empty when the file is missing.
StationList LoadStationList(const std::string& path);

// The records of a list file's bytes, as LoadStationList reads them.
StationList DecodeStationList(std::string_view bytes);

// Writes `records` as the list file at `path`, atomically; a record whose line would be too
// long is left out. False, with the old file whole, when the file cannot be written.
bool SaveStationList(const std::string& path, const StationList& records);

}  // namespace lumio

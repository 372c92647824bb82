#pragma once
// Where recordings go and what they are called. Pure functions of facts the caller gathers,
// like the choice of the config folder: nothing here looks at the file system.

#include <cstdint>
#include <string>
#include <string_view>

#include "ports/clock.h"

namespace lumio {

// "<station> <YYYY-MM-DD HHMMSS>" (GBK) for a recording begun at `start`, with " (2)", " (3)"
// ... for the `attempt`-th try when the name is taken. Characters a file name cannot hold
// (\ / : * ? " < > | and control characters) become "_", looked at character by character so
// that the second byte of a Chinese character is never taken for one of them; dots and spaces
// at the end of the station's name go (Windows drops them); an empty name reads "录音".
std::string RecordingStem(std::string_view stationGbk, const LocalTime& start, int32_t attempt);

struct RecordingFolderFacts {
  bool portable = true;       // the settings live in config/ beside the program
  std::string programDir;     // the executable's folder, ending with a separator
  std::string home;           // the user's home folder; empty when unknown
  std::string xdgConfigHome;  // $XDG_CONFIG_HOME as set; empty when unset
  std::string userDirs;       // the contents of the user-dirs.dirs file; empty when there is none
  // The name of the recordings folder beside config/, as the file system writes "录音".
  std::string recordingsName;
};

// The user-dirs.dirs file the desktop names its folders in; "" when no home is known.
std::string UserDirsPath(const RecordingFolderFacts& facts);

// The recordings folder, without a separator at its end: "<program>/录音" for a portable copy;
// for an installed one "<music>/Lumio", where the music folder is XDG_MUSIC_DIR of
// user-dirs.dirs, else ~/Music. "" when no place can be named.
std::string ChooseRecordingFolder(const RecordingFolderFacts& facts);

}  // namespace lumio

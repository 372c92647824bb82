#pragma once
// Where the settings and the station lists live. A copy of the program that can keep them
// beside itself does so, in config/ (the portable layout). An installed copy, or one whose
// folder cannot be written, keeps them in the user's configuration folder instead
// ($XDG_CONFIG_HOME/lumio, by default ~/.config/lumio) and reads the shipped catalogue from the
// installed data folder unless the user has a catalogue of their own there.
//
// The decision is made from facts the caller gathers (the program's folder, the environment);
// nothing here looks at the file system.

#include <string>

#include "store/config_path.h"

namespace lumio {

struct ConfigFacts {
  std::string programDir;        // the executable's folder, ending with "/"
  bool hasConfigFolder = false;  // programDir holds config/
  bool programDirWritable = false;
  // The installed data folder ("PREFIX/share/lumio" for "PREFIX/bin/"), without a separator at
  // its end; empty when there is none.
  std::string dataDir;
  bool dataDirHasCatalogue = false;  // the shipped catalogue is in dataDir: an installed copy
  std::string xdgConfigHome;         // $XDG_CONFIG_HOME as set; empty when unset
  std::string home;                  // the user's home folder; empty when unknown
};

// Portable when the program folder holds config/, or when it is writable and the program is
// not an installed copy (an installed copy run by root, or installed into the user's own
// prefix, must not scatter config/ folders into bin/). Otherwise the user's folder; its
// `folder` is empty when neither $XDG_CONFIG_HOME (absolute) nor a home folder is known.
ConfigLocation ChooseConfigLocation(const ConfigFacts& facts);

}  // namespace lumio

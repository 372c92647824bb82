#pragma once
#include <string>

namespace lumio {

// The folder of the running executable, ending with the platform's separator: the program's
// files live below it. Empty when the system cannot tell.
std::string ProgramDirectory();

}  // namespace lumio

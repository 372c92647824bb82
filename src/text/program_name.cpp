#include "text/program_name.h"

#include "text/literal.h"

namespace lumio {

const std::string& ProgramName() {
  static const Literal kName("Lumio网络收音机");
  return kName;
}

const std::string& ProgramTitle() {
  static const Literal kTitle("Lumio网络收音机1.2 - Tarvel网络");
  return kTitle;
}

const std::string& WelcomeText() {
  static const Literal kWelcome("欢迎使用Lumio网络收音机1.2 - Tarvel网络");
  return kWelcome;
}

}  // namespace lumio

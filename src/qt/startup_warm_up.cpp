#include "qt/startup_warm_up.h"

#include <fontconfig/fontconfig.h>

namespace lumio {

// FcInit publishes its configuration with an atomic exchange, so a Qt call racing it would only
// repeat the work; Wait() keeps even that from happening.
FontconfigWarmUp::FontconfigWarmUp() : thread_([] { FcInit(); }) {}

void FontconfigWarmUp::Wait() {
  if (thread_.joinable()) thread_.join();
}

FontconfigWarmUp::~FontconfigWarmUp() {
  Wait();
}

}  // namespace lumio

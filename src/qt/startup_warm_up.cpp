#include "qt/startup_warm_up.h"

#include <fontconfig/fontconfig.h>

#include "qt/skin_resources.h"

namespace lumio {

// FcInit publishes its configuration with an atomic exchange, so a Qt call racing it would only
// repeat the work; waiting before Qt resolves fonts keeps even that from happening.
StartupWarmUp::StartupWarmUp() : fontconfig_([] { FcInit(); }) {}

void StartupWarmUp::DisplayConnected() {
  WaitForFontconfig();
  DecodeSkinAhead();
}

void StartupWarmUp::WaitForFontconfig() {
  if (fontconfig_.joinable()) fontconfig_.join();
}

StartupWarmUp::~StartupWarmUp() {
  WaitForFontconfig();
}

}  // namespace lumio

#pragma once
// Work the window needs before its first paint, done beside the work that must come first:
// fontconfig reads its configuration and caches while QApplication makes the X connection, and
// the skin bitmaps decode while the window's fonts are resolved.

#include <thread>

namespace lumio {

class StartupWarmUp {
 public:
  // Starts reading fontconfig; construct it before QApplication.
  StartupWarmUp();
  // Call once QApplication exists: waits for fontconfig, so that Qt's font database finds it
  // ready, then starts decoding the skin.
  void DisplayConnected();
  ~StartupWarmUp();

  StartupWarmUp(const StartupWarmUp&) = delete;
  StartupWarmUp& operator=(const StartupWarmUp&) = delete;

 private:
  void WaitForFontconfig();

  std::thread fontconfig_;
};

}  // namespace lumio

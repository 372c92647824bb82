#pragma once
// Work the window needs before its first paint that need not wait for the X connection: while
// QApplication connects, fontconfig reads its configuration and caches on a thread of its own.

#include <thread>

namespace lumio {

class FontconfigWarmUp {
 public:
  // Starts reading; safe before QApplication exists.
  FontconfigWarmUp();
  // Waits for the reading to end, so that Qt's font database finds fontconfig ready.
  void Wait();
  ~FontconfigWarmUp();

  FontconfigWarmUp(const FontconfigWarmUp&) = delete;
  FontconfigWarmUp& operator=(const FontconfigWarmUp&) = delete;

 private:
  std::thread thread_;
};

}  // namespace lumio

// The Linux run's main: the environment GStreamer reads is set as the program's main sets it,
// before any thread.

#include <gmock/gmock.h>

#include "gst/gst_setup.h"

int main(int argc, char** argv) {
  lumio::gst::PrepareGStreamerEnvironment();
  testing::InitGoogleMock(&argc, argv);
  return RUN_ALL_TESTS();
}

// The player tests' main: the environment GStreamer reads is set as the program's main sets it,
// before the stream servers of the tests start their threads.

#include <gmock/gmock.h>

#include "gst/gst_setup.h"

int main(int argc, char** argv) {
  lumio::gst::PrepareGStreamerEnvironment();
  testing::InitGoogleMock(&argc, argv);
  return RUN_ALL_TESTS();
}

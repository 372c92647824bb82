#include "playback/address_policy.h"

#include <gtest/gtest.h>

namespace lumio {
namespace {

// A remote server names these; only web addresses may be opened, whatever it says.
TEST(AddressPolicy, OpensOnlyWebAddresses) {
  const struct {
    const char* uri;
    bool allowed;
  } cases[] = {{"http://radio.example/live.mp3", true}, {"HTTPS://radio.example:8443/a", true},
               {"file:///etc/passwd", false},           {"udp://0.0.0.0:5004", false},
               {"smb://host/share/a.mp3", false},       {"data:audio/mpeg;base64,AAAA", false},
               {"rtsp://radio.example/live", false},    {"http://", false},
               {"/relative/path.mp3", false},           {"", false}};
  for (const auto& c : cases)
    EXPECT_EQ(RefusalOfAddress(c.uri).empty(), c.allowed) << c.uri;
}

TEST(AddressPolicy, FollowsRedirectsUpwardAndBoundedOnly) {
  EXPECT_EQ(RefusalOfRedirect("http://a/x", "https://b/y", 1), "");
  EXPECT_EQ(RefusalOfRedirect("https://a/x", "https://b/y", 5), "");
  EXPECT_NE(RefusalOfRedirect("https://a/x", "http://b/y", 1), "");
  EXPECT_NE(RefusalOfRedirect("http://a/x", "http://b/y", 6), "");
  EXPECT_NE(RefusalOfRedirect("http://a/x", "file:///etc/passwd", 1), "");
}

}  // namespace
}  // namespace lumio

// The HLS reader's own requests over a scripted network: where redirects lead and what is opened
// at all.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "hls/http_get.h"
#include "support/scripted_network.h"

namespace lumio::hls {
namespace {

struct RedirectCase {
  const char* name;
  std::map<std::string, Route> routes;
  std::string start;
  StreamFailure failure;              // kNone: the body arrives
  std::vector<std::string> expected;  // the addresses opened, in order
};

void PrintTo(const RedirectCase& redirect_case, std::ostream* out) {
  *out << redirect_case.name;
}

class Redirects : public testing::TestWithParam<RedirectCase> {};

// A redirect resolves against the address that answered it, and is followed only where the
// listener's own address could have led: never to another scheme, never from https down to
// http, never round and round. A refused address is never opened.
TEST_P(Redirects, LeadOnlyWhereTheListenersAddressMay) {
  ScriptedNetwork network;
  network.routes = GetParam().routes;
  HttpGet get(network, GetParam().start, {});
  HttpGet::Phase phase = get.Advance();
  EXPECT_EQ(network.opened, GetParam().expected);
  if (GetParam().failure == StreamFailure::kNone) {
    ASSERT_EQ(phase, HttpGet::Phase::kEnded) << get.error();
    EXPECT_EQ(get.response().url, GetParam().expected.back());
    std::string body;
    get.TakeBody(body);
    EXPECT_EQ(body, "sound");
  } else {
    EXPECT_EQ(phase, HttpGet::Phase::kFailed);
    EXPECT_EQ(get.failure(), GetParam().failure);
    EXPECT_NE(get.error(), "");
  }
}

std::map<std::string, Route> Chain(int redirects) {
  std::map<std::string, Route> routes;
  for (int i = 0; i < redirects; ++i)
    routes["http://a/" + std::to_string(i)] = RedirectTo(std::to_string(i + 1));
  routes["http://a/" + std::to_string(redirects)] = Text("audio/aac", "sound");
  return routes;
}

std::vector<std::string> ChainAddresses(int count) {
  std::vector<std::string> addresses;
  for (int i = 0; i < count; ++i)
    addresses.push_back("http://a/" + std::to_string(i));
  return addresses;
}

INSTANTIATE_TEST_SUITE_P(
    Hops, Redirects,
    testing::Values(
        RedirectCase{"relative_then_up_to_https",
                     {{"http://a/radio/live", RedirectTo("  ../moved/live?x=1 ", 301)},
                      {"http://a/moved/live?x=1", RedirectTo("https://b/live", 307)},
                      {"https://b/live", Text("audio/aac", "sound")}},
                     "http://a/radio/live",
                     StreamFailure::kNone,
                     {"http://a/radio/live", "http://a/moved/live?x=1", "https://b/live"}},
        RedirectCase{"https_down_to_http",
                     {{"https://a/live", RedirectTo("http://a/live")}},
                     "https://a/live",
                     StreamFailure::kUnreachable,
                     {"https://a/live"}},
        RedirectCase{"to_a_local_file",
                     {{"http://a/live", RedirectTo("file:///etc/passwd")}},
                     "http://a/live",
                     StreamFailure::kUnreachable,
                     {"http://a/live"}},
        RedirectCase{"five_hops", Chain(5), "http://a/0", StreamFailure::kNone, ChainAddresses(6)},
        RedirectCase{"six_hops", Chain(6), "http://a/0", StreamFailure::kUnreachable,
                     ChainAddresses(6)},
        RedirectCase{
            "not_a_web_address", {}, "smb://a/share/x.mp3", StreamFailure::kUnreachable, {}}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

}  // namespace
}  // namespace lumio::hls

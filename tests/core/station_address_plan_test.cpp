// The order and times in which a station's addresses are tried, as both players follow them.

#include "playback/station_address_plan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumio {
namespace {

using F = StreamFailure;

// One step as "url@delay" (depth shown as a leading ">" per level), for compact expectations.
std::string Text(const AddressStep& step) {
  return std::string(static_cast<size_t>(step.depth), '>') + step.url + "@" +
         std::to_string(step.delayMs);
}

TEST(StationAddressPlan, TriesEveryAddressAtOnceThenTheWholeSetAfterABackOff) {
  StationAddressPlan plan;
  EXPECT_EQ(Text(plan.Start({"a", " ", "b", "a", "c"})), "a@0") << "blanks and repeats left out";
  EXPECT_EQ(Text(plan.Failed(F::kUnreachable)), "b@0");
  EXPECT_EQ(Text(plan.Failed(F::kGone)), "c@0");
  EXPECT_EQ(plan.LastFailure(), F::kGone);
  // One failure that may pass keeps the round on the short back-off: 1, 2, 4, 8, then 10 s.
  std::vector<std::string> rounds{Text(plan.Failed(F::kNoAnswer))};
  for (int round = 0; round < 5; ++round) {
    plan.Failed(F::kNoAnswer);
    plan.Failed(F::kGone);
    rounds.push_back(Text(plan.Failed(F::kGone)));
  }
  EXPECT_EQ(rounds, (std::vector<std::string>{"a@1000", "a@2000", "a@4000", "a@8000", "a@10000",
                                              "a@10000"}));
  EXPECT_EQ(plan.PlayedAddress(), "");
}

TEST(StationAddressPlan, AStationThatFailsForGoodIsTriedOnceAMinute) {
  StationAddressPlan plan;
  plan.Start({"a", "b"});
  plan.Failed(F::kGone);
  EXPECT_EQ(Text(plan.Failed(F::kBadCertificate)), "a@60000");
  plan.Failed(F::kForbidden);
  EXPECT_EQ(Text(plan.Failed(F::kNotAudio)), "a@60000");
  // Once it played, a server that restarts may answer 404 for a moment: the quick back-off
  // first, the minute only once the back-off has reached its longest step.
  plan.Failed(F::kUnreachable);
  plan.Failed(F::kUnreachable);  // a new round begins with a
  plan.Playing();
  std::vector<std::string> delays;
  delays.push_back(Text(plan.Dropped(F::kNoAnswer)));
  for (int i = 0; i < 6; ++i) {
    plan.Failed(F::kGone);
    delays.push_back(Text(plan.Failed(F::kGone)));
  }
  EXPECT_EQ(delays, (std::vector<std::string>{"a@1000", "a@2000", "a@4000", "a@8000", "a@60000",
                                              "a@60000", "a@60000"}));
}

TEST(StationAddressPlan, APlaylistsEntriesAreTriedInItsPlaceAndItIsWhatPlayed) {
  StationAddressPlan plan;
  plan.Start({"list.pls", "b"});
  EXPECT_EQ(Text(plan.Expand({"e1", "", "e2", "e1"})), ">e1@0");
  EXPECT_EQ(Text(plan.Failed(F::kUnreachable)), ">e2@0");
  // A playlist in a playlist is read too, but no deeper.
  EXPECT_EQ(Text(plan.Expand({"inner"})), ">>inner@0");
  EXPECT_EQ(Text(plan.Expand({"too deep"})), "b@0");
  EXPECT_EQ(plan.LastFailure(), F::kNotAudio);
  // A playlist without entries is an address that failed as not audio.
  EXPECT_EQ(Text(plan.Failed(F::kUnreachable)), "list.pls@1000");
  EXPECT_EQ(Text(plan.Expand({})), "b@0");
  EXPECT_EQ(plan.LastFailure(), F::kNotAudio);

  plan.Failed(F::kUnreachable);
  EXPECT_EQ(Text(plan.Expand({"e1", "e2"})), ">e1@0");
  plan.Playing();
  EXPECT_EQ(plan.PlayedAddress(), "list.pls");
  EXPECT_EQ(plan.LastFailure(), F::kNone);
  // The entry that dropped comes back first, then the playlist and the other address.
  EXPECT_EQ(Text(plan.Dropped(F::kNoAnswer)), ">e1@1000");
  EXPECT_EQ(Text(plan.Failed(F::kUnreachable)), "list.pls@0");
  EXPECT_EQ(Text(plan.Failed(F::kUnreachable)), "b@0");
}

TEST(StationAddressPlan, RoundsBeginWithTheAddressThatPlayedLast) {
  StationAddressPlan plan;
  plan.Start({"a", "b", "c"});
  plan.Failed(F::kUnreachable);
  plan.Playing();  // b
  EXPECT_EQ(plan.PlayedAddress(), "b");
  EXPECT_EQ(Text(plan.Dropped(F::kNoAnswer)), "b@1000");
  EXPECT_EQ(Text(plan.Failed(F::kUnreachable)), "c@0");
  EXPECT_EQ(Text(plan.Failed(F::kUnreachable)), "a@0");
  EXPECT_EQ(Text(plan.Failed(F::kUnreachable)), "b@2000");
  // A new station forgets all of it.
  EXPECT_EQ(Text(plan.Start({"x"})), "x@0");
  EXPECT_EQ(plan.PlayedAddress(), "");
  EXPECT_EQ(plan.LastFailure(), F::kNone);
}

TEST(StationAddressPlan, AStationWithoutAddressesNeverNamesOne) {
  StationAddressPlan plan;
  EXPECT_EQ(Text(plan.Start({"", "  "})), "@0");
  EXPECT_EQ(Text(plan.Failed(F::kGone)), "@60000");
  plan.Playing();
  EXPECT_EQ(plan.PlayedAddress(), "");
}

TEST(StreamFailure, HttpStatusesReadAsTheListenersReasons) {
  const std::pair<int, F> cases[] = {
      {200, F::kNone},        {302, F::kNone},        {400, F::kGone},        {401, F::kForbidden},
      {403, F::kForbidden},   {404, F::kGone},        {408, F::kNoAnswer},    {410, F::kGone},
      {429, F::kUnreachable}, {500, F::kUnreachable}, {503, F::kUnreachable},
  };
  for (const auto& [status, failure] : cases)
    EXPECT_EQ(FailureForHttpStatus(status), failure) << status;
  EXPECT_TRUE(IsPermanentFailure(FailureForHttpStatus(404)));
  EXPECT_FALSE(IsPermanentFailure(FailureForHttpStatus(503)));
}

}  // namespace
}  // namespace lumio

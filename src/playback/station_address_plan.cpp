#include "playback/station_address_plan.h"

#include <algorithm>
#include <array>

#include "stream/text_scan.h"

namespace lumio {
namespace {

// A dead station costs little, yet one that comes back is heard again within 10 s.
constexpr std::array<int32_t, 5> kBackOffMs = {1000, 2000, 4000, 8000, 10000};
constexpr size_t kLongestBackOff = kBackOffMs.size() - 1;

// `texts` without blank ones and without repeats, in their order.
std::vector<std::string> Distinct(const std::vector<std::string>& texts, size_t limit) {
  std::vector<std::string> out;
  for (const std::string& text : texts) {
    if (out.size() == limit) break;
    if (stream::Trim(text).empty() || std::find(out.begin(), out.end(), text) != out.end())
      continue;
    out.push_back(text);
  }
  return out;
}

}  // namespace

AddressStep StationAddressPlan::Start(const std::vector<std::string>& addresses) {
  m_addresses = Distinct(addresses, addresses.size());
  m_preferred = 0;
  m_failedRounds = 0;
  m_playedSinceStart = false;
  m_lastFailure = StreamFailure::kNone;
  m_played.clear();
  return StartRound(0);
}

AddressStep StationAddressPlan::StartRound(int32_t delayMs) {
  m_queue.clear();
  const size_t count = m_addresses.size();
  for (size_t i = 0; i < count; ++i) {
    const size_t index = (m_preferred + i) % count;
    m_queue.push_back({m_addresses[index], 0, index});
  }
  m_roundPermanent = true;
  return Next(delayMs);
}

AddressStep StationAddressPlan::Next(int32_t delayMs) {
  if (m_queue.empty()) {
    m_try = {};
  } else {
    m_try = std::move(m_queue.front());
    m_queue.erase(m_queue.begin());
  }
  m_current = {m_try.url, delayMs, m_try.depth};
  return m_current;
}

AddressStep StationAddressPlan::Expand(const std::vector<std::string>& entries) {
  if (m_try.depth >= kMaxDepth) return Failed(StreamFailure::kNotAudio);
  const std::vector<std::string> urls = Distinct(entries, kMaxEntries);
  if (urls.empty()) return Failed(StreamFailure::kNotAudio);
  std::vector<Try> tries;
  for (const std::string& url : urls)
    tries.push_back({url, m_try.depth + 1, m_try.address});
  m_queue.insert(m_queue.begin(), tries.begin(), tries.end());
  return Next(0);
}

AddressStep StationAddressPlan::Failed(StreamFailure failure) {
  m_lastFailure = failure;
  if (!IsPermanentFailure(failure)) m_roundPermanent = false;
  if (!m_queue.empty()) return Next(0);
  const int32_t delayMs = RoundDelayMs();
  m_failedRounds += 1;
  return StartRound(delayMs);
}

int32_t StationAddressPlan::RoundDelayMs() const {
  const size_t step = std::min(static_cast<size_t>(m_failedRounds), kLongestBackOff);
  const int32_t backOff = kBackOffMs[step];
  // A station heard a moment ago keeps the short back-off until it reaches its longest step.
  const bool recentlyPlayed = m_playedSinceStart && step < kLongestBackOff;
  if (m_roundPermanent && !recentlyPlayed) return std::max(backOff, kPermanentRetryMs);
  return backOff;
}

void StationAddressPlan::Playing() {
  if (m_addresses.empty()) return;
  m_failedRounds = 0;
  m_playedSinceStart = true;
  m_lastFailure = StreamFailure::kNone;
  m_preferred = m_try.address;
  m_played = m_addresses[m_try.address];
}

AddressStep StationAddressPlan::Dropped(StreamFailure why) {
  m_lastFailure = why;
  const Try dropped = m_try;
  m_failedRounds = 1;
  StartRound(kBackOffMs[0]);
  // The same try first (a playlist's entry, not the playlist again), then the other addresses.
  if (!dropped.url.empty() && dropped.depth > 0) {
    m_queue.insert(m_queue.begin(), m_try);
    m_try = dropped;
    m_current = {m_try.url, kBackOffMs[0], m_try.depth};
  }
  return m_current;
}

}  // namespace lumio

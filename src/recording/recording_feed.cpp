#include "recording/recording_feed.h"

#include <utility>

namespace lumio {
namespace {

// Bytes queued in one event before the next one starts; fewer, larger writes later.
constexpr size_t kMergeBytes = 64 * 1024;
// What a title costs against the bound besides its bytes: a stream that sends a title with
// every byte must not grow the queue without limit.
constexpr size_t kEventCost = 64;

}  // namespace

void RecordingFeed::Push(StreamEvent::Kind kind, std::string_view data) {
  const size_t cost = data.size() + kEventCost;
  if (m_held + cost > kMaxFeedBytes) {
    m_dropping = true;
    return;
  }
  if (m_dropping) {
    m_events.push_back({StreamEvent::Kind::kGap, {}});
    m_held += kEventCost;
    m_dropping = false;
  }
  if (kind == StreamEvent::Kind::kBytes && !m_events.empty() &&
      m_events.back().kind == StreamEvent::Kind::kBytes &&
      m_events.back().data.size() + data.size() <= kMergeBytes) {
    m_events.back().data.append(data);
    m_held += data.size();
    return;
  }
  m_events.push_back({kind, std::string(data)});
  m_held += cost;
}

void RecordingFeed::OnStreamStart() {
  std::lock_guard<std::mutex> lock(m_mutex);
  Push(StreamEvent::Kind::kStart, {});
}

void RecordingFeed::OnStreamBytes(std::string_view bytes) {
  if (bytes.empty()) return;
  std::lock_guard<std::mutex> lock(m_mutex);
  Push(StreamEvent::Kind::kBytes, bytes);
}

void RecordingFeed::OnStreamTitle(std::string_view title) {
  std::lock_guard<std::mutex> lock(m_mutex);
  // A title that nothing has followed yet is simply replaced.
  if (!m_events.empty() && m_events.back().kind == StreamEvent::Kind::kTitle) {
    m_held -= m_events.back().data.size();
    m_events.back().data.assign(title);
    m_held += title.size();
    return;
  }
  Push(StreamEvent::Kind::kTitle, title);
}

void RecordingFeed::Take(std::vector<StreamEvent>& events) {
  events.clear();
  std::lock_guard<std::mutex> lock(m_mutex);
  events.swap(m_events);
  m_held = 0;
}

}  // namespace lumio

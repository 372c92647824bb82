#pragma once
// The hand-over between a player's threads and the user-interface thread: the player's tap
// queues what it receives, and the one-second tick takes it all to the recorder. Bounded: when
// the user-interface thread does not come for its bytes, new bytes are dropped and the hole is
// marked, so the recorder starts afresh behind it instead of gluing half frames together.

#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "ports/stream_tap.h"

namespace lumio {

struct StreamEvent {
  enum class Kind { kStart, kBytes, kTitle, kGap };
  Kind kind = Kind::kBytes;
  std::string data;  // the bytes, or the title (GBK)
};

// Bytes held between two takes at most; a minute of a 320 kbit/s stream, or a few HLS
// segments, fit with room to spare.
inline constexpr size_t kMaxFeedBytes = 4 * 1024 * 1024;

class RecordingFeed final : public StreamTap {
 public:
  // The tap: callable from any thread, one at a time; never waits for the user interface.
  void OnStreamStart() override;
  void OnStreamBytes(std::string_view bytes) override;
  void OnStreamTitle(std::string_view title) override;

  // Moves everything handed over since the last take into `events` (emptied first), in order.
  void Take(std::vector<StreamEvent>& events);

 private:
  void Push(StreamEvent::Kind kind, std::string_view data);

  std::mutex m_mutex;
  std::vector<StreamEvent> m_events;
  size_t m_held = 0;
  bool m_dropping = false;
};

}  // namespace lumio

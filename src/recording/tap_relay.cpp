#include "recording/tap_relay.h"

namespace lumio {

void TapRelay::Set(StreamTap* tap) {
  std::lock_guard lock(mutex_);
  tap_ = tap;
  current_ = 0;
  titled_ = false;
  title_.clear();
  active_.store(tap != nullptr, std::memory_order_relaxed);
}

void TapRelay::Enter(uint64_t connection) {
  if (connection == current_) return;
  current_ = connection;
  titled_ = false;
  title_.clear();
  tap_->OnStreamStart();
}

void TapRelay::Bytes(uint64_t connection, std::string_view bytes) {
  if (bytes.empty()) return;
  std::lock_guard lock(mutex_);
  if (tap_ == nullptr) return;
  Enter(connection);
  tap_->OnStreamBytes(bytes);
}

void TapRelay::Title(uint64_t connection, std::string_view title) {
  std::lock_guard lock(mutex_);
  if (tap_ == nullptr) return;
  Enter(connection);
  if (titled_ && title == title_) return;
  titled_ = true;
  title_.assign(title);
  tap_->OnStreamTitle(title);
}

}  // namespace lumio

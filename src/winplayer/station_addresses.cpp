#include "winplayer/station_addresses.h"

#include <algorithm>

namespace lumio::win {

void StationAddresses::Reset(std::vector<std::string> urls) {
  station_.clear();
  for (std::string& url : urls)
    station_.push_back({std::move(url), 0});
  list_ = station_;
  index_ = 0;
}

const std::string& StationAddresses::current() const {
  static const std::string kNone;
  return list_.empty() ? kNone : list_[index_].url;
}

bool StationAddresses::Expand(const std::vector<std::string>& entries) {
  if (list_.empty() || entries.empty() || list_[index_].depth >= kMaxDepth) return false;
  const int depth = list_[index_].depth + 1;
  std::vector<Address> expanded;
  for (size_t i = 0; i < entries.size() && i < kMaxEntries; ++i)
    expanded.push_back({entries[i], depth});
  list_.erase(list_.begin() + static_cast<std::ptrdiff_t>(index_));
  list_.insert(list_.begin() + static_cast<std::ptrdiff_t>(index_), expanded.begin(),
               expanded.end());
  return true;
}

bool StationAddresses::Next() {
  if (index_ + 1 < list_.size()) {
    ++index_;
    return true;
  }
  list_ = station_;
  index_ = 0;
  return false;
}

int RetryDelayMs(int round, StreamFailure last_failure) {
  static constexpr int kDelays[] = {1000, 2000, 4000, 8000};
  if (round < 4) return kDelays[std::max(0, round)];
  return IsPermanentFailure(last_failure) ? 60000 : 10000;
}

}  // namespace lumio::win

#include "hls/segment_decryption.h"

namespace lumio::hls {
namespace {

constexpr size_t kBlock = 16;

}  // namespace

bool SegmentDecryption::Feed(std::string_view bytes, std::string& out) {
  pending_ += bytes;
  size_t ready = pending_.size() - pending_.size() % kBlock;
  // The last whole block may be the one with the padding: it waits for the segment's end.
  if (ready == pending_.size() && ready > 0) ready -= kBlock;
  if (ready == 0) return true;
  const std::string_view blocks = std::string_view(pending_).substr(0, ready);
  if (!cipher_.Decrypt(iv_, blocks, out)) return false;
  iv_.assign(blocks.substr(ready - kBlock));
  pending_.erase(0, ready);
  return true;
}

bool SegmentDecryption::Finish(std::string& out) {
  if (pending_.size() != kBlock) return false;
  std::string last;
  if (!cipher_.Decrypt(iv_, pending_, last) || last.size() != kBlock) return false;
  pending_.clear();
  const auto padding = static_cast<unsigned char>(last.back());
  if (padding == 0 || padding > kBlock) return false;
  for (size_t i = kBlock - padding; i < kBlock; ++i) {
    if (static_cast<unsigned char>(last[i]) != padding) return false;
  }
  out.append(last, 0, kBlock - padding);
  return true;
}

}  // namespace lumio::hls

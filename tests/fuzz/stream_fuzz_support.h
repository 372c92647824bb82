#pragma once
// What the stream fuzzers share: feeding a streaming reader its input in pieces. A stream
// reader must give the same result however the network cut its input, so each fuzzer feeds
// the input whole and in chunks whose sizes the input itself chooses, and compares.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lumio::stream {

// Calls `feed` with consecutive pieces of `bytes`, 1 to 300 bytes long, sized by a generator
// seeded from `seed` (so libFuzzer steers the cuts along with the bytes).
template <typename Feed>
void FeedInChunks(std::string_view bytes, uint32_t seed, Feed&& feed) {
  uint32_t state = seed * 2654435761u + 1;
  while (!bytes.empty()) {
    state = state * 1103515245u + 12345u;
    // Mostly small pieces, so that headers and length bytes fall across the cuts.
    const size_t size = (state >> 16) % 8 == 0 ? 1 + (state >> 8) % 300 : 1 + (state >> 8) % 9;
    const size_t take = size < bytes.size() ? size : bytes.size();
    feed(bytes.substr(0, take));
    bytes.remove_prefix(take);
  }
}

// A seed for FeedInChunks from the input's last byte (0 for an empty input).
inline uint32_t ChunkSeed(std::string_view bytes) {
  return bytes.empty() ? 0 : static_cast<unsigned char>(bytes.back());
}

}  // namespace lumio::stream

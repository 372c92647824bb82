#pragma once
// ID3v2 tags: skipped where they sit in front of (or between) audio frames, and read for a
// title where HLS carries them as timed metadata.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace lumio::stream {

inline constexpr size_t kId3HeaderSize = 10;

// The whole size of the ID3v2 tag that `bytes` starts with (header, body and footer), or
// nullopt when its first 10 bytes are not a tag header (fewer bytes: nullopt too).
std::optional<size_t> Id3v2TagSize(std::string_view bytes);

// The title a tag names, as GBK cut as StreamTitleForListener cuts (see stream_text.h):
// "artist - title" from TPE1 and TIT2, either one alone, or nullopt. Versions 2.2 to 2.4; a
// truncated tag gives what it holds. Frames are walked without copying them, so a tag as long
// as a segment costs a scan, and only the start of a long text frame is read.
std::optional<std::string> ReadId3Title(std::string_view tag);

}  // namespace lumio::stream

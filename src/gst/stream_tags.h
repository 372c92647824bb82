#pragma once
// What a stream says about itself in its tags: the song it plays, its codec and its bitrate.

#include <gst/gst.h>

#include <cstdint>
#include <string>

namespace lumio::gst {

class StreamTags {
 public:
  // Takes what a tag message says; streams repeat their title every few seconds, and only a
  // different one replaces it.
  void Take(GstMessage* tag_message);
  void Clear();

  const std::string& title() const { return title_; }  // UTF-8
  const std::string& codec() const { return codec_; }
  int32_t bitrate() const { return bitrate_; }  // bits per second; 0 until known

 private:
  std::string title_;
  std::string codec_;
  int32_t bitrate_ = 0;
};

}  // namespace lumio::gst

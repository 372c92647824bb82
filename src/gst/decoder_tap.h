#pragma once
// What one open of a station hands to the player's tap, taken where the decoder holds it as the
// station sent it: a stream's body after the HTTP source, or after icydemux when the server
// interleaves ICY metadata; HLS as the audio enters its decoder, AAC as ADTS frames. The titles
// go with the bytes they fall between. Probes go onto those pads only once a tap is set, so an
// open that starts without one carries nothing extra; they stay until the open ends and then
// pass everything untouched.

#include <gst/gst.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

#include "gst/gst_refs.h"
#include "recording/tap_relay.h"
#include "stream/mp4_aac_config.h"

namespace lumio::gst {

class DecoderTap {
 public:
  // `hls`: the open plays an HLS playlist, whose bytes are not the sound.
  DecoderTap(TapRelay& relay, bool hls);
  // The decoder's streaming threads must have stopped.
  ~DecoderTap();
  DecoderTap(const DecoderTap&) = delete;
  DecoderTap& operator=(const DecoderTap&) = delete;

  // From the decoder's threads: the HTTP source's output pad; every element the decoder adds
  // at any depth; the body was judged a stream the decoders take (not a playlist or a page).
  void OnSourcePad(GstPad* pad);
  void OnElementAdded(GstElement* element);
  void OnBodyFlows() { flows_.store(true, std::memory_order_relaxed); }

  // From the user-interface thread: a tap was set, so the pads found and those found later
  // are watched.
  void Arm();
  // A title (GBK) the pipeline reported on its bus; handed over only when the watched pads
  // carry no titles themselves (they carry them where they belong in the bytes).
  void OnBusTitle(std::string_view title);

 private:
  enum class Role {
    kBody,          // the HTTP source's output
    kIcyBody,       // icydemux's output: the body without its ICY metadata
    kDecoderInput,  // what enters an audio decoder (HLS)
  };
  struct Point {
    DecoderTap* owner;
    Role role;
    PadPtr pad;
    gulong probe = 0;
    // Touched by the pad's streaming thread only.
    bool caps_known = false;
    bool interleaved = false;                  // a body that still holds ICY metadata
    std::optional<stream::AacConfig> raw_aac;  // access units without ADTS headers
  };

  void AddPoint(Role role, GstPad* pad);
  void Watch(Point& point);
  static GstPadProbeReturn OnProbe(GstPad* pad, GstPadProbeInfo* info, gpointer point);
  static void OnIcyPadAdded(GstElement* element, GstPad* pad, gpointer self);
  void TakeCaps(Point& point, GstCaps* caps);
  void TakeTags(GstEvent* event);
  void TakeBuffer(Point& point, GstBuffer* buffer);

  TapRelay& relay_;
  const bool hls_;
  std::atomic<uint64_t> connection_;
  std::atomic<bool> flows_{false};
  std::atomic<bool> pad_titles_{false};
  std::atomic<bool> input_seen_{false};  // audio entered a decoder (HLS)

  std::mutex mutex_;  // over what follows; never held while the relay is called
  bool armed_ = false;
  std::vector<std::unique_ptr<Point>> points_;
};

}  // namespace lumio::gst

// Recording a station through the player's tap, as the program does: the player hands what it
// receives to a RecordingFeed, a tick takes it to the Recorder, and the file the recorder writes
// must decode to the sound the station sent, with the songs the stream named.

#include <gmock/gmock.h>
#include <gst/gst.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "gst/gst_player.h"
#include "gst/gst_refs.h"
#include "gst/main_loop.h"
#include "gst/player_trace.h"
#include "gst/test_media.h"
#include "recording/recorder.h"
#include "recording/recording_disk.h"
#include "recording/recording_feed.h"
#include "support/temp_dir.h"

namespace lumio::test {
namespace {

using std::chrono::milliseconds;
using testing::HasSubstr;
using testing::IsEmpty;

constexpr int kDecodeRate = 8000;

struct Decoded {
  bool ok = false;
  double seconds = 0;
  double hz = 0;  // from the zero crossings
};

// What GStreamer makes of a file on its own: its length and the pitch of its tone.
Decoded Decode(const std::string& path) {
  TempDir dir;
  const std::string raw = dir.File("decoded.raw");
  GstElement* made = gst_parse_launch(
      "filesrc name=in ! decodebin ! audioconvert ! audioresample ! "
      "audio/x-raw,format=S16LE,channels=1,rate=8000 ! filesink name=out",
      nullptr);
  if (made == nullptr) return {};
  gst::ElementPtr pipeline(static_cast<GstElement*>(gst_object_ref_sink(made)));
  gst::ElementPtr in(gst_bin_get_by_name(GST_BIN(pipeline.get()), "in"));
  gst::ElementPtr out(gst_bin_get_by_name(GST_BIN(pipeline.get()), "out"));
  g_object_set(in.get(), "location", path.c_str(), nullptr);
  g_object_set(out.get(), "location", raw.c_str(), nullptr);
  gst::BusPtr bus(gst_element_get_bus(pipeline.get()));
  gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
  gst::MessagePtr end(
      gst_bus_timed_pop_filtered(bus.get(), 30 * GST_SECOND,
                                 static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
  gst_element_set_state(pipeline.get(), GST_STATE_NULL);
  if (!end || GST_MESSAGE_TYPE(end.get()) != GST_MESSAGE_EOS) return {};
  const std::string bytes = ReadBytes(raw);
  std::vector<int16_t> samples(bytes.size() / 2);
  std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
  int crossings = 0;
  for (size_t i = 1; i < samples.size(); ++i) {
    if ((samples[i - 1] < 0) != (samples[i] < 0)) ++crossings;
  }
  Decoded decoded;
  decoded.ok = true;
  decoded.seconds = static_cast<double>(samples.size()) / kDecodeRate;
  decoded.hz = decoded.seconds > 0 ? crossings / (2 * decoded.seconds) : 0;
  return decoded;
}

// The program's side of a recording: the feed the player is given, the recorder behind it and
// the one-second tick between them, here run more often to keep the test short.
class Recording {
 public:
  Recording() : recorder_(disk_, clock_, RecorderLimits{.freeSpaceFloor = 0}) {
    recorder_.SetFolder(folder_.path() + "recordings");
  }

  RecordingFeed& feed() { return feed_; }
  Recorder& recorder() { return recorder_; }

  void Tick() {
    feed_.Take(events_);
    recorder_.OnStreamEvents(events_);
  }
  // Ticks while the main loop runs until the recorder has stopped by itself; `on_tick` runs
  // after each tick.
  bool TickUntilEnded(
      milliseconds timeout, const std::function<void()>& on_tick = [] {}) {
    auto next = std::chrono::steady_clock::now();
    return PumpUntil(
        [&] {
          if (std::chrono::steady_clock::now() < next) return false;
          next += milliseconds(250);
          Tick();
          on_tick();
          return !recorder_.IsRecording();
        },
        timeout);
  }
  std::string CueSheet() const {
    const std::string& file = recorder_.FilePath();
    return ReadBytes(file.substr(0, file.rfind('.')) + ".cue");
  }

 private:
  TempDir folder_;
  SystemRecordingDisk disk_;
  SystemClock clock_;
  RecordingFeed feed_;
  Recorder recorder_;
  std::vector<StreamEvent> events_;
};

// An Icecast station: its first bytes mid-frame, ICY titles every 8 KiB, a 4 s burst. The file
// holds the asked-for seconds of the tone with sound from both sides of a dropped connection,
// the CUE sheet each song once, in GBK turned UTF-8, where the stream named it; nothing reaches
// the tap once it is taken away.
TEST(GstTap, RecordsAnIcyMp3StationWithItsSongsAcrossADrop) {
  LocalStations stations;
  const std::string url = stations.Url("/icy.mp3");  // names "Lumio - Test tone"
  ASSERT_NE(url, "") << "the test media could not be made";
  Recording recording;
  GstPlayer player({.audio_sink = "fakesink sync=true"});
  player.SetStreamTap(&recording.feed());
  ASSERT_EQ(recording.recorder().Start("Tone FM", false, 7), std::nullopt);
  player.SetURL(url);

  bool renamed = false;
  bool dropped = false;
  EXPECT_TRUE(recording.TickUntilEnded(milliseconds(20000), [&] {
    if (!renamed && !recording.recorder().FilePath().empty()) {
      renamed = true;  // sent after the burst: over 4 s into the recording
      stations.server().SetTitle("/icy.mp3", "\xB5\xDA\xB6\xFE\xCA\xD7");  // GBK
    }
    // The player still holds seconds of it, played (and recorded) before it reconnects.
    if (!dropped && recording.recorder().RecordedSeconds() >= 1) {
      dropped = true;
      stations.server().CloseConnections("/icy.mp3");
    }
  })) << player.LastError();
  EXPECT_TRUE(dropped);
  EXPECT_GE(stations.server().Requests("/icy.mp3").size(), 2u) << "the recording outlived a drop";

  const std::string& file = recording.recorder().FilePath();
  EXPECT_THAT(file, HasSubstr(".mp3"));
  const Decoded decoded = Decode(file);
  ASSERT_TRUE(decoded.ok) << file;
  EXPECT_NEAR(decoded.seconds, 7, 0.15);
  EXPECT_NEAR(decoded.hz, kToneHz, 10);

  const std::string cue = recording.CueSheet();
  EXPECT_THAT(cue, HasSubstr("FILE \"Tone FM "));
  // The stream names its song at its first metadata block, half a second in.
  EXPECT_THAT(cue, HasSubstr("TRACK 01 AUDIO\r\n    TITLE \"Test tone\"\r\n    PERFORMER "
                             "\"Lumio\"\r\n    INDEX 01 00:00:"));
  std::smatch second;
  ASSERT_TRUE(std::regex_search(
      cue, second, std::regex("TRACK 02 AUDIO\r\n    TITLE \"第二首\"\r\n    INDEX 01 00:0(\\d)")))
      << cue;
  EXPECT_THAT(second[1].str(), testing::AnyOf("4", "5", "6")) << cue;
  EXPECT_THAT(cue, testing::Not(HasSubstr("TRACK 03"))) << "a title repeated after the drop";

  // Taken away while the station still plays: the tap hears nothing more.
  player.SetStreamTap(nullptr);
  std::vector<StreamEvent> events;
  recording.feed().Take(events);
  PumpFor(milliseconds(500));
  recording.feed().Take(events);
  EXPECT_THAT(events, IsEmpty());
}

// HLS in MPEG-TS, the tap set only once the station plays, as a listener presses record: the
// AAC of the segments becomes an ADTS file of the asked-for length.
TEST(GstTap, RecordsTheAacOfAnHlsStationFromWhenTheTapIsSet) {
  LocalStations stations;
  const std::string url = stations.Url("/hls/index.m3u8");
  ASSERT_NE(url, "") << "the test media could not be made";
  Recording recording;
  GstPlayer player({.audio_sink = "fakesink sync=true"});
  player.SetURL(url);
  ASSERT_EQ(TraceUntil(player, kPlayStatePlaying, milliseconds(8000)).last(), kPlayStatePlaying)
      << player.LastError();
  player.SetStreamTap(&recording.feed());
  ASSERT_EQ(recording.recorder().Start("HLS FM", false, 4), std::nullopt);
  EXPECT_TRUE(recording.TickUntilEnded(milliseconds(12000))) << player.LastError();
  player.SetStreamTap(nullptr);

  const std::string& file = recording.recorder().FilePath();
  EXPECT_THAT(file, HasSubstr(".aac"));
  const Decoded decoded = Decode(file);
  ASSERT_TRUE(decoded.ok) << file;
  EXPECT_NEAR(decoded.seconds, 4, 0.15);
  EXPECT_NEAR(decoded.hz, kToneHz, 10);
}

}  // namespace
}  // namespace lumio::test

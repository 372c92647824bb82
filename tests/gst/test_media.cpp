#include "gst/test_media.h"

#include <gst/gst.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "gst/gst_refs.h"
#include "gst/gst_setup.h"
#include "support/temp_dir.h"

namespace lumio::test {
namespace {

constexpr int kSampleRate = 44100;
constexpr int kSamplesPerBuffer = 1024;
constexpr double kHlsSeconds = 15;
constexpr double kBurstSeconds = 4;  // what Icecast's 64 KiB burst holds at 128 kbit/s
// Into the third 418-byte frame of the MP3 tone.
constexpr size_t kMidFrameOffset = 1000;

std::string ToneSource(double seconds, int frequency = kToneHz) {
  const int buffers = static_cast<int>(seconds * kSampleRate / kSamplesPerBuffer) + 1;
  return "audiotestsrc num-buffers=" + std::to_string(buffers) +
         " samplesperbuffer=" + std::to_string(kSamplesPerBuffer) +
         " freq=" + std::to_string(frequency) +
         " volume=0.5 ! audio/x-raw,rate=" + std::to_string(kSampleRate) +
         ",channels=2 ! audioconvert ! ";
}

// Runs a finite pipeline to its end; false on an error or after 60 s.
bool RunToEnd(const std::string& description) {
  gst::InitGStreamerOnce();
  GError* raw_error = nullptr;
  GstElement* made = gst_parse_launch(description.c_str(), &raw_error);
  gst::ErrorPtr error(raw_error);
  if (made == nullptr) return false;
  gst::ElementPtr pipeline(static_cast<GstElement*>(gst_object_ref_sink(made)));
  gst::BusPtr bus(gst_element_get_bus(pipeline.get()));
  gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
  gst::MessagePtr end(
      gst_bus_timed_pop_filtered(bus.get(), 60 * GST_SECOND,
                                 static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
  gst_element_set_state(pipeline.get(), GST_STATE_NULL);
  return end && end->type == GST_MESSAGE_EOS;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

EncodedTone Encode(ToneFormat format, double seconds) {
  TempDir dir;
  const std::string file = dir.File("tone");
  std::string encoder;
  switch (format) {
    case ToneFormat::kMp3:
      encoder = "lamemp3enc target=bitrate bitrate=128 cbr=true";
      break;
    case ToneFormat::kAac:
      encoder = "voaacenc bitrate=128000 ! aacparse ! audio/mpeg,stream-format=adts";
      break;
    case ToneFormat::kOgg:
    case ToneFormat::kOggWithPictures:
    case ToneFormat::kOggChained:
      encoder = "vorbisenc ! oggmux name=mux";
      break;
  }
  if (format == ToneFormat::kOggChained) {
    // Each run of oggmux picks new serial numbers, so the second file starts a new chain.
    const EncodedTone first = Encode(ToneFormat::kOgg, kFirstChainSeconds);
    const std::string second = ToneSource(seconds - kFirstChainSeconds, kSecondChainHz) + encoder +
                               " ! filesink location=" + file;
    EncodedTone chained;
    if (!first.bytes || !RunToEnd(second)) return chained;
    chained.bytes = std::make_shared<const std::string>(*first.bytes + ReadFile(file));
    chained.seconds = seconds;
    return chained;
  }
  std::string description = ToneSource(seconds) + encoder + " ! filesink location=" + file;
  if (format == ToneFormat::kOggWithPictures) {
    description += " videotestsrc num-buffers=" + std::to_string(static_cast<int>(seconds * 10)) +
                   " ! video/x-raw,width=160,height=120,framerate=10/1 ! theoraenc ! mux.";
  }
  EncodedTone tone;
  if (!RunToEnd(description)) return tone;
  tone.bytes = std::make_shared<const std::string>(ReadFile(file));
  tone.seconds = seconds;
  return tone;
}

}  // namespace

int EncodedTone::BytesPerSecond() const {
  return bytes && seconds > 0 ? static_cast<int>(static_cast<double>(bytes->size()) / seconds) : 0;
}

const EncodedTone& Tone(ToneFormat format, double seconds) {
  static std::map<ToneFormat, EncodedTone> made;
  auto found = made.find(format);
  if (found == made.end()) found = made.emplace(format, Encode(format, seconds)).first;
  return found->second;
}

StreamResource LocalStations::Resource(const std::string& path) {
  if (path == "/icy.mp3") {
    // The same tone, the loop turned so that a listener's first byte is not a frame's.
    StreamResource resource = Resource("/tone.mp3");
    if (!resource.body || resource.body->size() <= kMidFrameOffset) return {};
    const std::string& bytes = *resource.body;
    resource.body = std::make_shared<const std::string>(bytes.substr(kMidFrameOffset) +
                                                        bytes.substr(0, kMidFrameOffset));
    return resource;
  }
  static const std::map<std::string, ToneFormat> kFormats = {
      {"/tone.mp3", ToneFormat::kMp3},           {"/tone.aac", ToneFormat::kAac},
      {"/tone.ogg", ToneFormat::kOgg},           {"/tv.ogg", ToneFormat::kOggWithPictures},
      {"/chained.ogg", ToneFormat::kOggChained},
  };
  StreamResource resource;
  const auto found = kFormats.find(path);
  if (found == kFormats.end()) return resource;
  const ToneFormat format = found->second;
  const bool aac = format == ToneFormat::kAac;
  const bool ogg = format != ToneFormat::kMp3 && !aac;
  const EncodedTone& tone = Tone(format, ogg ? 30 : 10);
  resource.content_type = aac ? "audio/aac" : ogg ? "application/ogg" : "audio/mpeg";
  resource.body = tone.bytes;
  resource.bytes_per_second = tone.BytesPerSecond();
  resource.burst_bytes = aac ? 0 : static_cast<size_t>(kBurstSeconds * tone.BytesPerSecond());
  // A chained Ogg stream would need new serial numbers; 30 s outlast every test.
  resource.loop = !ogg;
  return resource;
}

std::string LocalStations::Url(const std::string& path) {
  if (path.starts_with("/hls/")) return ServeHls() ? server_.Url(path) : "";
  StreamResource resource = Resource(path);
  if (!resource.body) return "";
  server_.Serve(path, std::move(resource));
  if (path == "/icy.mp3") server_.SetTitle(path, "Lumio - Test tone");
  return server_.Url(path);
}

const std::map<std::string, std::shared_ptr<const std::string>>& LocalStations::HlsFiles() {
  static std::map<std::string, std::shared_ptr<const std::string>> files;
  if (files.empty()) {
    TempDir dir;
    const std::string encoder =
        "voaacenc bitrate=128000 ! aacparse ! hlssink2 name=h location=" + dir.File("seg%05d.ts") +
        " playlist-location=" + dir.File("index.m3u8") +
        " target-duration=1 max-files=0 playlist-length=0";
    const std::string description = ToneSource(kHlsSeconds) + encoder;
    if (!RunToEnd(description)) return files;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
      files[entry.path().filename().string()] =
          std::make_shared<const std::string>(ReadFile(entry.path().string()));
    }
  }
  return files;
}

std::string LocalStations::HlsPlaylist() {
  const auto& files = HlsFiles();
  const auto found = files.find("index.m3u8");
  return found != files.end() && ServeHls() ? *found->second : std::string();
}

std::shared_ptr<const std::string> LocalStations::HlsFile(const std::string& name) {
  const auto& files = HlsFiles();
  const auto found = files.find(name);
  return found != files.end() ? found->second : std::make_shared<const std::string>();
}

std::shared_ptr<const std::string> LocalStations::HlsSegments() {
  std::string joined;
  for (const auto& [name, bytes] : HlsFiles()) {
    if (name.ends_with(".ts")) joined += *bytes;  // in order: the names count up
  }
  return std::make_shared<const std::string>(std::move(joined));
}

bool LocalStations::ServeHls() {
  const auto& files = HlsFiles();
  for (const auto& [name, bytes] : files) {
    StreamResource resource;
    resource.content_type =
        name.ends_with(".m3u8") ? "application/vnd.apple.mpegurl" : "video/mp2t";
    resource.body = bytes;
    server_.Serve("/hls/" + name, std::move(resource));
  }
  return files.contains("index.m3u8");
}

}  // namespace lumio::test

#include "contract/stream_kinds.h"

#include <cstdio>
#include <filesystem>
#include <vector>

#include "gst/child_process.h"
#include "support/temp_dir.h"

namespace lumio::test {
namespace {

// ffmpeg's arguments for `seconds` of a half-scale tone at `hz`, sampled at `rate`, in as many
// channels as the file has: a mono source made stereo by ffmpeg would be 3 dB quieter.
std::string ToneInput(int hz, int rate, double seconds, int channels = 2) {
  const std::string wave = "0.5*sin(2*PI*" + std::to_string(hz) + "*t)";
  return "-f lavfi -i 'aevalsrc=" + (channels == 2 ? wave + "|" + wave : wave) +
         ":s=" + std::to_string(rate) + ":d=" + std::to_string(seconds) + "'";
}

// A live station's MP3 carries neither an ID3 tag nor a Xing frame.
constexpr const char* kBareMp3 = " -c:a libmp3lame -id3v2_version 0 -write_xing 0 -f mp3 ";

std::string Hls(const std::string& folder, const std::string& extra) {
  return "mkdir -p " + folder + " && cd " + folder + " && ffmpeg -nostdin -loglevel error -y " +
         ToneInput(440, 44100, 12) +
         " -ac 2 -c:a aac -b:a 96k -f hls -hls_time 1 -hls_list_size 0 " + extra + " index.m3u8";
}

}  // namespace

int KindFile::BytesPerSecond() const {
  return bytes && seconds > 0 ? static_cast<int>(static_cast<double>(bytes->size()) / seconds) : 0;
}

std::map<std::string, KindFile> MakeStreamKinds(const std::string& dir) {
  std::map<std::string, KindFile> made;
  if (RunAndRead({"sh", "-c", "command -v ffmpeg"}).empty()) {
    std::fprintf(stderr, "ffmpeg is missing: the stream kinds it makes are not served\n");
    return made;
  }
  const std::string ffmpeg = "cd " + dir + " && ffmpeg -nostdin -loglevel error -y ";
  WriteBytes(dir + "/aes.keyinfo", "key.bin\n" + dir + "/aes/key.bin\n");
  std::filesystem::create_directories(dir + "/aes");
  WriteBytes(dir + "/aes/key.bin", "Lumio test key!!");
  const std::vector<std::string> commands = {
      ffmpeg + ToneInput(440, 22050, 10, 1) + " -ac 1 -b:a 32k" + kBareMp3 + "lowrate.mp3",
      ffmpeg + ToneInput(440, 44100, 2) + " -ac 2 -b:a 128k" + kBareMp3 + "part44.mp3",
      ffmpeg + ToneInput(440, 22050, 2, 1) + " -ac 1 -b:a 32k" + kBareMp3 + "part22.mp3",
      Hls(dir + "/hls", "-hls_segment_filename s%03d.ts"),
      Hls(dir + "/fmp4",
          "-hls_segment_type fmp4 -hls_fmp4_init_filename init.mp4 -hls_segment_filename "
          "s%03d.m4s"),
      Hls(dir + "/aes",
          "-hls_key_info_file " + dir + "/aes.keyinfo -hls_segment_filename s%03d.ts"),
      ffmpeg + ToneInput(440, 44100, kChainedFirstSeconds) +
          " -ac 2 -c:a libvorbis -f ogg first.ogg",
      ffmpeg + ToneInput(kChainedSecondHz, 44100, 30) + " -ac 2 -c:a libvorbis -f ogg second.ogg",
      ffmpeg + ToneInput(440, 48000, 30) + " -ac 2 -c:a libopus -b:a 64k -f ogg opus.ogg",
      ffmpeg + ToneInput(440, 44100, 30) + " -ac 2 -c:a libvorbis -f ogg vorbis.ogg",
      ffmpeg + ToneInput(440, 44100, 30) + " -ac 2 -f flac tone.flac",
  };
  // Side by side: each is short, and the run waits for all of them.
  std::vector<std::unique_ptr<ChildProcess>> running;
  for (const std::string& command : commands)
    running.push_back(
        std::make_unique<ChildProcess>(std::vector<std::string>{"sh", "-c", command}));
  bool all = true;
  for (size_t i = 0; i < running.size(); ++i) {
    if (running[i]->Wait(60000) != 0) {
      std::fprintf(stderr, "ffmpeg failed: %s\n", commands[i].c_str());
      all = false;
    }
  }
  if (!all) return made;

  const auto file = [&](const std::string& name) {
    return std::make_shared<const std::string>(ReadBytes(dir + "/" + name));
  };
  made["lowrate.mp3"] = {file("lowrate.mp3"), 10};
  made["switching.mp3"] = {
      std::make_shared<const std::string>(*file("part44.mp3") + *file("part22.mp3")), 4};
  made["chained.ogg"] = {
      std::make_shared<const std::string>(*file("first.ogg") + *file("second.ogg")),
      kChainedFirstSeconds + 30};
  for (const char* name : {"opus.ogg", "vorbis.ogg", "tone.flac"})
    made[name] = {file(name), 30};
  for (const char* folder : {"hls", "fmp4", "aes"}) {
    for (const auto& entry : std::filesystem::directory_iterator(dir + "/" + folder)) {
      const std::string name = std::string(folder) + "/" + entry.path().filename().string();
      made[name] = {file(name), 0};
    }
  }
  return made;
}

}  // namespace lumio::test

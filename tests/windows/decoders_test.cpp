// The system's decoders and cipher under Wine, as the Windows player drives them: MP3 of every
// rate made by ffmpeg (tests/windows/decoders_test.sh), AAC taken out of fragmented MP4, and
// AES-128 against what openssl encrypted.

#include <windows.h>

#include <mfapi.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "stream/fmp4_reader.h"
#include "winbase/com_ptr.h"
#include "winplayer/aes_cbc.h"
#include "winplayer/audio_chain.h"

namespace lumio::win {
namespace {

// COM and Media Foundation on the test's thread, as the player's worker has them.
class SystemEnvironment final : public testing::Environment {
 public:
  void SetUp() override {
    com_ = std::make_unique<ComApartment>();
    MFStartup(MF_VERSION, MFSTARTUP_LITE);
  }
  void TearDown() override {
    MFShutdown();
    com_.reset();
  }

 private:
  std::unique_ptr<ComApartment> com_;
};
testing::Environment* const kSystem = testing::AddGlobalTestEnvironment(new SystemEnvironment);

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A file the test script made; "" (and the test skipped) without the script's folder.
std::string Media(const std::string& name) {
  const char* folder = std::getenv("LUMIO_DECODER_MEDIA");
  return folder == nullptr ? "" : ReadFile(std::string(folder) + "\\" + name);
}

struct Decoded {
  PcmFormat format;
  bool same_format_throughout = true;
  std::vector<int16_t> samples;
  std::string error;

  double Seconds() const {
    return format.channels > 0
               ? static_cast<double>(samples.size()) / format.channels / format.sample_rate
               : 0;
  }
  // The first channel's level (0 to 1) and pitch (by its zero crossings) from `from` to `to`
  // seconds.
  void Measure(double from, double to, double* rms, double* frequency) const {
    const auto first = static_cast<size_t>(from * format.sample_rate);
    const auto last = static_cast<size_t>(to * format.sample_rate);
    double sum = 0;
    int crossings = 0;
    for (size_t i = first; i < last; ++i) {
      const double x = samples[i * format.channels] / 32768.0;
      sum += x * x;
      if (i > first && (samples[(i - 1) * format.channels] < 0) != (x < 0)) ++crossings;
    }
    *rms = std::sqrt(sum / static_cast<double>(last - first));
    *frequency = crossings / 2.0 / (to - from);
  }
  // The longest run of near silence on the first channel, in seconds.
  double LongestSilence() const {
    size_t longest = 0;
    size_t run = 0;
    for (size_t i = 0; i < samples.size(); i += format.channels) {
      run = std::abs(samples[i]) < 64 ? run + 1 : 0;
      longest = std::max(longest, run);
    }
    return static_cast<double>(longest) / format.sample_rate;
  }
};

// Feeds `stream` to a chain as a station's bytes arrive, taking the sound as a device would.
Decoded Decode(const std::string& stream) {
  DecoderSpares spares;
  AudioChain chain(spares);
  Decoded decoded;
  for (size_t at = 0; at < stream.size(); at += 1000) {
    if (!chain.Feed(std::string_view(stream).substr(at, 1000))) {
      decoded.error = chain.error();
      break;
    }
    PcmQueue& pcm = chain.pcm();
    if (pcm.empty()) continue;
    if (decoded.format.sample_rate == 0) decoded.format = pcm.format();
    decoded.same_format_throughout =
        decoded.same_format_throughout && decoded.format == pcm.format();
    size_t available = 0;
    const int16_t* samples = pcm.Front(pcm.samples(), &available);
    decoded.samples.insert(decoded.samples.end(), samples, samples + available);
    pcm.Drop(available);
  }
  return decoded;
}

struct Mp3Case {
  const char* file;
  int sample_rate;
  int channels;
};

void PrintTo(const Mp3Case& mp3, std::ostream* out) {
  *out << mp3.file;
}

class EveryMp3 : public testing::TestWithParam<Mp3Case> {};

// Two seconds of a 440 Hz tone come out as two seconds of that tone, in the stream's own rate
// and channels, whichever decoder of the system takes it.
TEST_P(EveryMp3, GivesItsToneInItsOwnFormat) {
  const std::string stream = Media(GetParam().file);
  if (stream.empty()) GTEST_SKIP() << "no media from the test script";
  const Decoded decoded = Decode(stream);
  ASSERT_EQ(decoded.error, "");
  EXPECT_EQ(decoded.format, (PcmFormat{GetParam().sample_rate, GetParam().channels}));
  EXPECT_GT(decoded.Seconds(), 1.8) << "sound was lost";
  EXPECT_LT(decoded.Seconds(), 2.3);
  double rms = 0;
  double frequency = 0;
  decoded.Measure(0.2, 1.6, &rms, &frequency);
  EXPECT_GT(rms, 0.05) << "silence";
  EXPECT_NEAR(frequency, 440, 15);
}

std::vector<Mp3Case> AllMp3s() {
  static std::vector<std::string> names;
  std::vector<Mp3Case> cases;
  for (int rate : {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000}) {
    for (int channels : {1, 2}) {
      for (const char* mode : {"cbr", "vbr"}) {
        names.push_back("mp3_" + std::to_string(rate) + "_" + std::to_string(channels) + "_" +
                        mode + ".mp3");
      }
    }
  }
  names.push_back("mp2_44100_2.mp2");
  for (const std::string& name : names) {
    const int rate = std::atoi(name.c_str() + 4);
    const int channels = name[name.find('_', 4) + 1] - '0';
    cases.push_back({name.c_str(), rate, channels});
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Rates, EveryMp3, testing::ValuesIn(AllMp3s()), [](const auto& param_info) {
  std::string name = param_info.param.file;
  return name.substr(0, name.find('.'));
});

// A station that goes from 44.1 kHz stereo to 22.05 kHz mono and back plays on in the format it
// started in, each part at its own pitch, without a gap longer than the parts' own silence at
// their ends.
TEST(Mp3RateChange, KeepsSoundComingInTheFormatItStartedIn) {
  const std::string stream = Media("rate_change.mp3");
  if (stream.empty()) GTEST_SKIP() << "no media from the test script";
  const Decoded decoded = Decode(stream);
  ASSERT_EQ(decoded.error, "");
  EXPECT_EQ(decoded.format, (PcmFormat{44100, 2}));
  EXPECT_TRUE(decoded.same_format_throughout);
  EXPECT_GT(decoded.Seconds(), 4.3) << "sound was lost at a change";
  const struct {
    double from, to, frequency;
  } parts[] = {{0.2, 1.3, 440}, {1.7, 2.8, 660}, {3.2, 4.2, 440}};
  for (const auto& part : parts) {
    double rms = 0;
    double frequency = 0;
    decoded.Measure(part.from, part.to, &rms, &frequency);
    EXPECT_GT(rms, 0.05) << "silence from " << part.from << " s";
    EXPECT_NEAR(frequency, part.frequency, 15) << "from " << part.from << " s";
  }
  // Each part begins and ends with its encoder's silence (up to about 0.1 s at 22.05 kHz).
  EXPECT_LT(decoded.LongestSilence(), 0.15);
}

std::string TestData(const std::string& name) {
  return ReadFile(std::string(LUMIO_STREAM_TEST_DATA) + "/" + name);
}

// AAC taken out of fragmented MP4 (an HLS stream with EXT-X-MAP) is ADTS the system's AAC
// decoder plays.
TEST(Fmp4Aac, ItsFramesGiveSound) {
  const std::string init = TestData("fmp4_aac_22050_mono_init.mp4");
  const std::string segment = TestData("fmp4_aac_22050_mono_seg0.m4s");
  ASSERT_FALSE(init.empty());
  stream::Fmp4Reader reader;
  std::string adts;
  std::vector<stream::TimedMetadata> metadata;
  for (const std::string* part : {&init, &segment}) {
    reader.Feed(*part, adts, metadata);
    reader.Flush(metadata);
  }
  const Decoded decoded = Decode(adts);
  ASSERT_EQ(decoded.error, "");
  EXPECT_EQ(decoded.format.sample_rate, 22050);
  EXPECT_GT(decoded.Seconds(), 0.5);
  double rms = 0;
  double frequency = 0;
  decoded.Measure(0.1, decoded.Seconds() - 0.1, &rms, &frequency);
  EXPECT_GT(rms, 0.02) << "silence";
}

std::string Hex(const char* text) {
  std::string bytes;
  for (size_t i = 0; text[i] != '\0' && text[i + 1] != '\0'; i += 2)
    bytes += static_cast<char>(std::stoi(std::string(text + i, 2), nullptr, 16));
  return bytes;
}

// The system's AES-128 decrypts what `openssl enc -aes-128-cbc` encrypted, fed in pieces that
// cut its blocks anywhere, and its padding comes off: a whole block of it too.
TEST(SystemAes, DecryptsWhatOpensslEncrypted) {
  const std::string key = Hex("000102030405060708090a0b0c0d0e0f");
  const std::string iv = Hex("f0e0d0c0b0a090807060504030201000");
  const struct {
    std::string plain;
    std::string encrypted;
  } vectors[] = {
      {"Lumio hears AES-128 HLS, 42 bytes of it..",
       Hex("9409ef70ca9dceaefe0cb1f0f5265a7dc6ee7c6fbe177baf94a85e97c1612b0d6eb9c070f830c879a6d2"
           "555714fe5ec1")},
      {"sixteen bytes!!!", Hex("8e78e41a0bf1d3071072372d2b813489149575263a9d58495f63eda529853e4f")},
  };
  std::unique_ptr<hls::Aes128Cbc> cipher = MakeSystemAes128Cbc();
  ASSERT_NE(cipher, nullptr);
  ASSERT_TRUE(cipher->SetKey(key));
  for (const auto& vector : vectors) {
    for (size_t piece : {1u, 7u, 16u, 100u}) {
      hls::SegmentDecryption decryption(*cipher, iv);
      std::string plain;
      for (size_t at = 0; at < vector.encrypted.size(); at += piece)
        ASSERT_TRUE(decryption.Feed(std::string_view(vector.encrypted).substr(at, piece), plain));
      ASSERT_TRUE(decryption.Finish(plain));
      EXPECT_EQ(plain, vector.plain) << "in pieces of " << piece;
    }
  }
}

}  // namespace
}  // namespace lumio::win

// Recording what a station sends: the files hold whole frames or pages whatever the cuts, the
// CUE sheet puts each song where it is heard in the file, and a full disk or a failing write
// ends the recording with a word to the listener and never touches the settings.

#include "recording/recorder.h"

#include <filesystem>
#include <functional>
#include <map>

#include <gtest/gtest.h>

#include "fakes/fake_clock.h"
#include "recording/recording_names.h"
#include "store/config_path.h"
#include "stream/stream_builders.h"
#include "support/gbk_text.h"
#include "support/temp_dir.h"
#include "text/gbk.h"

namespace lumio {
namespace {

using stream::test::AdtsFrame;
using stream::test::Mp3Frame;

using test::Gbk;

// The real disk, with the free space and the writes' failure staged by the test.
class StagedDisk final : public RecordingDisk {
 public:
  bool MakeFolders(const std::string& folder) override { return real.MakeFolders(folder); }
  std::optional<uint64_t> FreeBytes(const std::string&) override { return free; }
  std::unique_ptr<RecordingOutput> CreateNew(const std::string& path, bool& exists) override {
    std::unique_ptr<RecordingOutput> file = real.CreateNew(path, exists);
    if (!file) return nullptr;
    return std::make_unique<Output>(std::move(file), *this);
  }
  bool Replace(const std::string& path, std::string_view bytes) override {
    return real.Replace(path, bytes);
  }

  SystemRecordingDisk real;
  std::optional<uint64_t> free = uint64_t{1} << 40;
  uint64_t writableBytes = UINT64_MAX;  // a write that would pass this fails

 private:
  class Output final : public RecordingOutput {
   public:
    Output(std::unique_ptr<RecordingOutput> file, StagedDisk& disk)
        : m_file(std::move(file)), m_disk(disk) {}
    bool Append(std::string_view bytes) override {
      if (bytes.size() > m_disk.writableBytes) return false;
      m_disk.writableBytes -= bytes.size();
      return m_file->Append(bytes);
    }

   private:
    std::unique_ptr<RecordingOutput> m_file;
    StagedDisk& m_disk;
  };
};

// An Ogg page as the format describes it: header, lacing values, body, CRC over all of it.
std::string OggPageBytes(uint32_t serial, uint32_t sequence, int64_t granule, uint8_t flags,
                         std::string_view body) {
  std::string page = "OggS";
  page += '\0';
  page += static_cast<char>(flags);
  for (int i = 0; i < 8; ++i)
    page += static_cast<char>(static_cast<uint64_t>(granule) >> (8 * i));
  for (uint32_t v : {serial, sequence, 0u})
    for (int i = 0; i < 4; ++i)
      page += static_cast<char>(v >> (8 * i));
  std::string lacing;
  size_t rest = body.size();
  while (rest >= 255) {
    lacing += '\xFF';
    rest -= 255;
  }
  lacing += static_cast<char>(rest);
  page += static_cast<char>(lacing.size());
  page += lacing;
  page += body;
  uint32_t crc = 0;
  for (unsigned char c : page) {
    crc ^= uint32_t{c} << 24;
    for (int bit = 0; bit < 8; ++bit)
      crc = (crc & 0x80000000u) != 0 ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
  }
  for (int i = 0; i < 4; ++i)
    page[22 + static_cast<size_t>(i)] = static_cast<char>(crc >> (8 * i));
  return page;
}

class RecorderTest : public ::testing::Test {
 protected:
  RecorderTest() {
    clock.SetLocal(2024, 5, 1, 7, 30, 0);
    folder = dir.path() + "rec";
    recorder.SetFolder(folder);
    recorder.onEnded = [this](const std::string& message) { ended.push_back(message); };
  }

  // The player's side: through the hand-over, as the program does it each second.
  void Deliver() {
    std::vector<StreamEvent> events;
    feed.Take(events);
    recorder.OnStreamEvents(events);
  }
  void Send(std::string_view bytes, size_t chunk = 97) {
    for (size_t at = 0; at < bytes.size(); at += chunk)
      feed.OnStreamBytes(bytes.substr(at, chunk));
  }
  std::string Recorded() const { return test::ReadBytes(recorder.FilePath()); }
  // A file of the recordings' folder, named as this system names it.
  std::string FileIn(std::string_view utf8Name) const {
    return PathInFolder(folder, FileNameFromGbk(Gbk(utf8Name)));
  }

  test::TempDir dir;
  test::FakeClock clock;
  StagedDisk disk;
  RecorderLimits limits;
  Recorder recorder{disk, clock, limits};
  RecordingFeed feed;
  std::string folder;
  std::vector<std::string> ended;
};

TEST_F(RecorderTest, AFileHoldsWholeFramesOnlyWhereverTheStreamIsCut) {
  struct Case {
    const char* name;
    std::function<std::string(int)> frame;
    const char* file;
  };
  const Case cases[] = {
      {"mp3", [](int i) { return Mp3Frame(i % 3 == 0, static_cast<uint8_t>(i)); },
       "电台 2024-05-01 073000.mp3"},
      {"adts", [](int i) { return AdtsFrame(300 + static_cast<size_t>(i % 5) * 7, 3); },
       "电台 2024-05-01 073000 (2).aac"},  // a file of the first name is there already
  };
  int run = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> f;
    for (int i = 0; i < 20; ++i)
      f.push_back(c.frame(i));
    // The stream so far ends inside frame 3 when the listener starts recording.
    feed.OnStreamStart();
    Send(f[0] + f[1] + f[2] + f[3].substr(0, 10));
    Deliver();
    if (run++ == 1) test::WriteBytes(FileIn("电台 2024-05-01 073000.aac"), "the listener's");
    ASSERT_EQ(recorder.Start(Gbk("电台"), false), std::nullopt);
    std::string more = f[3].substr(10);
    for (int i = 4; i < 10; ++i)
      more += f[static_cast<size_t>(i)];
    Send(more + f[10].substr(0, 100), 41);
    Deliver();
    // The connection drops inside frame 10 and comes back with frame 12; the program is then
    // stopped while frame 16 is half received.
    feed.OnStreamStart();
    Send(f[12] + f[13] + f[14] + f[15] + f[16].substr(0, 10));
    Deliver();
    recorder.Stop();

    std::string expected;
    for (int i : {3, 4, 5, 6, 7, 8, 9, 12, 13, 14, 15})
      expected += f[static_cast<size_t>(i)];
    EXPECT_EQ(recorder.FilePath(), FileIn(c.file));
    EXPECT_EQ(Recorded(), expected);
    EXPECT_EQ(test::ReadBytes(FileIn("电台 2024-05-01 073000.cue")), "<missing>");
    EXPECT_TRUE(ended.empty());
  }
}

// An Ogg stream cannot be played from the middle without the headers its first pages carry; a
// page damaged on the way is left out rather than written.
TEST_F(RecorderTest, AnOggRecordingBegunMidStreamStartsWithTheStreamsHeaders) {
  std::string id = std::string("\x01vorbis", 7) + std::string(4, '\0') + "\x02" +
                   std::string("\x44\xAC\x00\x00", 4) + std::string(15, '\0');
  std::vector<std::string> pages = {
      OggPageBytes(7, 0, 0, 0x02, id),
      OggPageBytes(7, 1, 0, 0, std::string("\x03vorbis", 7) + "comments"),
      OggPageBytes(7, 2, 0, 0, std::string("\x05vorbis", 7) + std::string(600, 's')),
  };
  for (uint32_t i = 3; i < 10; ++i)
    pages.push_back(OggPageBytes(7, i, 4096 * (i - 2), 0, std::string(900, static_cast<char>(i))));
  std::string damaged = pages[7];
  damaged[100] ^= 0x40;

  // A reconnect that joins the stream mid-chain has nothing the file can use until the next
  // chain (the next song, on many stations) begins.
  const std::string nextChain = OggPageBytes(8, 0, 0, 0x02, id) +
                                OggPageBytes(8, 1, 0, 0, std::string("\x03vorbis", 7)) +
                                OggPageBytes(8, 2, 4096, 0, std::string(700, 'n'));

  feed.OnStreamStart();
  Send("junk" + pages[0] + pages[1] + pages[2] + pages[3] + pages[4]);
  Deliver();
  ASSERT_EQ(recorder.Start(Gbk("电台"), false), std::nullopt);
  Send(pages[5] + pages[6] + damaged + pages[8] + pages[9].substr(0, 500), 333);
  Deliver();
  feed.OnStreamStart();
  Send(pages[9] + nextChain);
  Deliver();
  recorder.Stop();

  EXPECT_EQ(recorder.FilePath(), FileIn("电台 2024-05-01 073000.ogg"));
  EXPECT_EQ(Recorded(),
            pages[0] + pages[1] + pages[2] + pages[5] + pages[6] + pages[8] + nextChain);
}

// The sheet's times are where each song begins in the recorded sound: the wall clock may run on
// (a reconnect that took an hour) without moving them, and a title repeated by the stream is
// one song.
TEST_F(RecorderTest, TheCueSheetListsEachSongAtItsPlaceInTheRecording) {
  const auto frames = [](int count) {
    std::string bytes;
    for (int i = 0; i < count; ++i)
      bytes += Mp3Frame(false, static_cast<uint8_t>(i));
    return bytes;
  };
  feed.OnStreamTitle(Gbk("歌手甲 - 歌曲一"));
  ASSERT_EQ(recorder.Start(Gbk("音乐台"), false), std::nullopt);
  Send(frames(100), 4096);
  feed.OnStreamTitle(Gbk("只有歌名 \"引号\""));
  Send(frames(50), 4096);
  feed.OnStreamTitle(Gbk("只有歌名 \"引号\""));
  Deliver();
  clock.now += 3600;
  feed.OnStreamStart();
  feed.OnStreamTitle(Gbk("只有歌名 \"引号\""));
  Send(frames(2297), 4096);
  feed.OnStreamTitle(Gbk("乐队 - 歌 - 加长版"));
  Send(frames(10), 4096);
  Deliver();
  EXPECT_EQ(recorder.DurationText(), Gbk("录音 01:04"));
  recorder.Stop();

  // 100 frames of 1152 samples at 44.1 kHz are 2.612 s, 195 75ths; 2447 are 63.92 s.
  const std::string sheet = test::ReadBytes(FileIn("音乐台 2024-05-01 073000.cue"));
  EXPECT_EQ(sheet,
            "\xEF\xBB\xBFTITLE \"音乐台\"\r\n"
            "FILE \"音乐台 2024-05-01 073000.mp3\" MP3\r\n"
            "  TRACK 01 AUDIO\r\n"
            "    TITLE \"歌曲一\"\r\n"
            "    PERFORMER \"歌手甲\"\r\n"
            "    INDEX 01 00:00:00\r\n"
            "  TRACK 02 AUDIO\r\n"
            "    TITLE \"只有歌名 '引号'\"\r\n"
            "    INDEX 01 00:02:45\r\n"
            "  TRACK 03 AUDIO\r\n"
            "    TITLE \"歌 - 加长版\"\r\n"
            "    PERFORMER \"乐队\"\r\n"
            "    INDEX 01 01:03:69\r\n");
}

// Nothing a recording does, not even failing, writes into config/: the settings, the lists and
// the tasks stay byte for byte.
TEST_F(RecorderTest, AFullDiskOrAFailedWriteEndsTheRecordingWithAWordAndSparesConfig) {
  const std::string config = dir.path() + "config";
  ASSERT_TRUE(std::filesystem::create_directory(config));
  const std::map<std::string, std::string> before = {{"base.ini", "[sys]\r\nVolumn=50\r\n"},
                                                     {"favlst.ini", std::string(600, 'f')},
                                                     {"tasklst.ini", "play|07:00|12345|0|1|x\r\n"}};
  for (const auto& [name, bytes] : before)
    test::WriteBytes(PathInFolder(config, name), bytes);
  folder = dir.path() + FileNameFromGbk(Gbk("录音"));
  recorder.SetFolder(folder);
  const std::string frame = Mp3Frame();
  const auto send = [&](int count) {
    for (int i = 0; i < count; ++i) {
      feed.OnStreamBytes(frame);
      if (i % 1000 == 999) Deliver();
    }
    Deliver();
  };

  // Below the floor at the start: no recording.
  disk.free = limits.freeSpaceFloor - 1;
  EXPECT_EQ(recorder.Start("a", false), Gbk("磁盘空间不足，无法录音"));
  EXPECT_FALSE(recorder.IsRecording());

  // Below the floor while recording: it ends at the next look, after whole frames.
  disk.free = limits.freeSpaceFloor + 1;
  ASSERT_EQ(recorder.Start("a", false), std::nullopt);
  send(10'100);  // over 4 MiB: the free space is looked at again, more than once
  disk.free = limits.freeSpaceFloor - 1;
  send(10'100);
  EXPECT_EQ(ended, std::vector<std::string>{Gbk("磁盘空间不足，录音已停止")});
  EXPECT_FALSE(recorder.IsRecording());
  const std::string full = Recorded();
  EXPECT_EQ(full.size() % frame.size(), 0u);
  EXPECT_GE(full.size(), 10'100 * frame.size());
  EXPECT_LE(full.size() - 10'100 * frame.size(), limits.spaceCheckBytes + 1000 * frame.size())
      << "it went on well past the look that found the disk low";
  send(100);
  EXPECT_EQ(Recorded(), full);

  // A write that fails.
  disk.free = uint64_t{1} << 40;
  clock.now += 1;
  ended.clear();
  ASSERT_EQ(recorder.Start("b", false), std::nullopt);
  send(20);
  disk.writableBytes = 100;
  send(20);
  EXPECT_EQ(ended, std::vector<std::string>{Gbk("录音文件写入失败，录音已停止")});
  EXPECT_EQ(Recorded().size() % frame.size(), 0u);

  for (const auto& [name, bytes] : before)
    EXPECT_EQ(test::ReadBytes(PathInFolder(config, name)), bytes) << name;
  size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(config))
    ++files;
  EXPECT_EQ(files, before.size());
}

TEST_F(RecorderTest, TheLongestRecordingEndsItAndSaysSo) {
  limits.maxSeconds = 60;
  Recorder shortOne(disk, clock, limits);
  shortOne.SetFolder(folder);
  std::string message;
  shortOne.onEnded = [&](const std::string& m) { message = m; };
  ASSERT_EQ(shortOne.Start("a", false), std::nullopt);
  std::string bytes;
  for (int i = 0; i < 2700; ++i)
    bytes += AdtsFrame(200);
  std::vector<StreamEvent> events{{StreamEvent::Kind::kBytes, bytes}};
  shortOne.OnStreamEvents(events);
  EXPECT_FALSE(shortOne.IsRecording());
  EXPECT_EQ(message, Gbk("录音已达最长时间，已停止"));
  // 60 s of 1024-sample frames at 44.1 kHz: 2584 frames.
  EXPECT_EQ(test::ReadBytes(shortOne.FilePath()).size(), 2584u * 200);
}

// The system's side, on whichever system the tests run.
TEST(SystemRecordingDisk, MakesTheFolderPathAndNeverWritesOverAFile) {
  test::TempDir dir;
  SystemRecordingDisk disk;
  const std::string folder = PathInFolder(PathInFolder(dir.path() + "a", "b"), "c");
  ASSERT_TRUE(disk.MakeFolders(folder));
  EXPECT_TRUE(disk.MakeFolders(folder));
  EXPECT_GT(disk.FreeBytes(folder).value_or(0), 0u);
  const std::string path = PathInFolder(folder, FileNameFromGbk(Gbk("录音.mp3")));
  bool exists = true;
  std::unique_ptr<RecordingOutput> file = disk.CreateNew(path, exists);
  ASSERT_TRUE(file);
  EXPECT_FALSE(exists);
  EXPECT_TRUE(file->Append("frames"));
  file.reset();
  EXPECT_EQ(disk.CreateNew(path, exists), nullptr);
  EXPECT_TRUE(exists);
  EXPECT_EQ(test::ReadBytes(path), "frames");
}

}  // namespace
}  // namespace lumio

#include "contract/station_routes.h"

#include <cstdio>
#include <random>

#include "contract/hostile_media.h"
#include "stream/stream_limits.h"

namespace lumio::test {
namespace {

// A byte every 5 s: any player's time limit is spent long before an answer is whole.
constexpr int kTrickleMs = 5000;
// Loopback carries far more; a player that takes everything a server sends shows it at once.
constexpr int kFloodBytesPerSecond = 16 * 1024 * 1024;

StreamResource Paced(const KindFile& file, const std::string& type, bool loop) {
  StreamResource resource;
  resource.content_type = type;
  resource.body = file.bytes;
  resource.bytes_per_second = file.BytesPerSecond();
  resource.burst_bytes = static_cast<size_t>(4 * file.BytesPerSecond());
  resource.loop = loop;
  return resource;
}

// A file as a plain web server serves it.
StreamResource Whole(const KindFile& file, const std::string& type) {
  StreamResource resource;
  resource.content_type = type;
  resource.body = file.bytes;
  resource.ranges = true;
  return resource;
}

std::string TypeOf(const std::string& name) {
  if (name.ends_with(".m3u8")) return "application/vnd.apple.mpegurl";
  if (name.ends_with(".ts")) return "video/mp2t";
  if (name.ends_with(".mp4") || name.ends_with(".m4s")) return "video/mp4";
  return "application/octet-stream";
}

// Bytes in which no decoder finds a frame: no 0xFF, so no MPEG or ADTS sync word.
std::shared_ptr<const std::string> NotAudio() {
  std::mt19937 random(1234);
  std::string bytes(64 * 1024, '\0');
  for (char& byte : bytes)
    byte = static_cast<char>(random() % 0xFF);
  bytes.replace(0, 3, "\x01\x02\x03");  // and no telling start (ID3, OggS, fLaC...)
  return std::make_shared<const std::string>(std::move(bytes));
}

}  // namespace

StationRoutes::StationRoutes(LocalStations& stations, const std::map<std::string, KindFile>& kinds,
                             RouteFacts facts)
    : kinds_(kinds), facts_(std::move(facts)), elsewhere_(std::make_unique<StreamServer>()) {
  ServeOn(stations);
  const std::string home = stations.server().Url("");
  // HLS moved behind a redirect: its segments are named relative to where it really is.
  elsewhere_->Serve("/kinds/hls/index.m3u8", RedirectTo(home + "/kinds/hls/index.m3u8"));
  elsewhere_->Serve("/to-https/tone.mp3", RedirectTo(facts_.https + "/tone.mp3"));
}

std::string StationRoutes::ElsewhereUrl() const {
  return elsewhere_->Url("");
}

void StationRoutes::ServeOn(LocalStations& stations) {
  ServeGood(stations);
  ServeFailures(stations.server());
  ServeHostile(stations);
  ServeKinds(stations.server());
}

// Stations that play: the media of the Linux player's tests, and what the Windows player's own
// tests still ask for.
void StationRoutes::ServeGood(LocalStations& stations) {
  for (const char* path : {"/tone.mp3", "/icy.mp3", "/tone.aac", "/tone.ogg", "/hls/index.m3u8"})
    stations.Url(path);
  StreamServer& server = stations.server();
  StreamResource aac = stations.Resource("/tone.aac");
  server.Serve("/drop.aac", aac);  // dropped by the tests that drop it, nobody else's
  // "中文.mp3", as a server knows it.
  server.Serve("/%E4%B8%AD%E6%96%87.mp3", stations.Resource("/tone.mp3"));
  // A playlist whose first entry is gone: the second plays.
  server.Serve("/gone.mp3", StatusOnly(404));
  server.Serve("/list.pls",
               TextFile("[playlist]\nNumberOfEntries=2\nFile1=/gone.mp3\nTitle1=Gone\nFile2=" +
                            server.Url("/tone.aac") + "\nTitle2=Tone\n",
                        "audio/x-scpls"));
}

// Every way a station fails.
void StationRoutes::ServeFailures(StreamServer& server) {
  for (const int status : {400, 403, 404, 405, 408, 410, 451, 500, 503})
    server.Serve("/status/" + std::to_string(status), StatusOnly(status));
  server.Serve("/silent.mp3", NeverAnswering());
  server.Serve("/page.html",
               TextFile("<!DOCTYPE html><html><body>Listen in our app</body></html>", "text/html"));
  StreamResource noise;
  noise.body = NotAudio();
  noise.bytes_per_second = 16000;
  noise.burst_bytes = 32 * 1024;
  noise.loop = true;
  server.Serve("/noise.mp3", noise);
  // What an old Windows Media server sends: an ASF header object, then more of it.
  StreamResource asf;
  asf.content_type = "video/x-ms-asf";
  asf.body = std::make_shared<const std::string>(
      std::string("\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16) +
      std::string(16 * 1024, '\0'));
  server.Serve("/live.asf", asf);
}

void StationRoutes::ServeHostile(LocalStations& stations) {
  StreamServer& server = stations.server();
  const std::string home = server.Url("");
  const StreamResource tone = stations.Resource("/tone.mp3");

  // Trickles: at the answer's head, at a playlist's body, at an HLS segment.
  StreamResource head = tone;
  head.bytes_per_second = 0;
  head.trickle_ms = kTrickleMs;
  head.trickle_head = true;
  server.Serve("/trickle/head.mp3", head);
  StreamResource list = TextFile("#EXTM3U\n" + home + "/tone.mp3\n", "audio/x-mpegurl");
  list.trickle_ms = kTrickleMs;
  server.Serve("/trickle/list.m3u", list);
  server.Serve("/trickle/hls/index.m3u8",
               TextFile("#EXTM3U\n#EXT-X-TARGETDURATION:1\n#EXTINF:1.0,\ns0.ts\n#EXTINF:1.0,\n"
                        "s1.ts\n#EXT-X-ENDLIST\n",
                        "application/vnd.apple.mpegurl"));
  for (const char* segment : {"/trickle/hls/s0.ts", "/trickle/hls/s1.ts"}) {
    StreamResource slow = TextFile(*stations.HlsFile("seg00000.ts"), "video/mp2t");
    slow.trickle_ms = kTrickleMs;
    server.Serve(segment, slow);
  }

  // Addresses no station may lead to: a local file, a local socket, a share, inline data.
  const std::string file = "file://" + facts_.canary;
  const std::string udp = "udp://127.0.0.1:" + std::to_string(facts_.udp_port);
  const std::string smb = "smb://127.0.0.1/share/tone.mp3";
  const std::string data =
      "data:audio/mpeg;base64," + Base64(tone.body->substr(0, 32 * 1024));  // 2 s that play
  server.Serve("/redirect/file", RedirectTo(file));
  server.Serve("/redirect/udp", RedirectTo(udp));
  server.Serve("/redirect/smb", RedirectTo(smb));
  server.Serve("/redirect/data", RedirectTo(data));
  server.Serve("/list/schemes.m3u",
               TextFile("#EXTM3U\n" + file + "\n" + udp + "\n" + smb + "\n" + data + "\n",
                        "audio/x-mpegurl"));
  server.Serve("/hlsfile/s0.ts", TextFile(*stations.HlsFile("seg00000.ts"), "video/mp2t"));
  server.Serve("/hlsfile/index.m3u8",
               TextFile("#EXTM3U\n#EXT-X-TARGETDURATION:1\n#EXTINF:1.0,\ns0.ts\n#EXTINF:1.0,\n" +
                            file + "\n#EXT-X-ENDLIST\n",
                        "application/vnd.apple.mpegurl"));
  // Reached over https, it sends the player on over plain http.
  server.Serve("/downgrade", RedirectTo(home + "/downgraded.mp3"));
  server.Serve("/downgraded.mp3", tone);

  // Segments that never end: HLS of TS at loopback speed, and one PES that goes on for ever.
  StreamResource endless;
  endless.content_type = "video/mp2t";
  endless.body = stations.HlsSegments();
  endless.bytes_per_second = kFloodBytesPerSecond;
  endless.loop = true;
  if (!endless.body->empty()) server.Serve("/endless/seg.ts", endless);
  server.Serve("/endless/index.m3u8",
               TextFile(LivePlaylist("2", "seg.ts", 2), "application/vnd.apple.mpegurl"));
  StreamResource pes = endless;
  size_t loop_from = 0;
  pes.body = std::make_shared<const std::string>(
      EndlessPesStream(*stations.Resource("/tone.aac").body, &loop_from));
  pes.loop_from = loop_from;
  if (!pes.body->empty()) server.Serve("/endless_pes/seg.ts", pes);
  server.Serve("/endless_pes/index.m3u8",
               TextFile(LivePlaylist("2", "seg.ts", 2), "application/vnd.apple.mpegurl"));

  // Target durations that would have a playlist fetched never or without pause.
  const std::string three = "/hls/seg00000.ts\n/hls/seg00001.ts\n/hls/seg00002.ts";
  server.Serve("/target/huge.m3u8",
               TextFile(LivePlaylist("1e300", three, 1), "application/vnd.apple.mpegurl"));
  server.Serve("/target/tiny.m3u8",
               TextFile(LivePlaylist("0.000001", three, 1), "application/vnd.apple.mpegurl"));

  // Megabyte inputs.
  constexpr size_t kMegabyte = 1024 * 1024;
  server.Serve("/big/tone.mp3", tone);
  server.Serve("/big/amp.asx", TextFile(AsxWithAmpersandTitle(home + "/big/tone.mp3", kMegabyte),
                                        "video/x-ms-asf"));
  server.Serve("/big/amp.xspf", TextFile(XspfWithAmpersandTitle(home + "/big/tone.mp3", kMegabyte),
                                         "application/xspf+xml"));
  server.Serve("/big/letters.m3u", TextFile(M3uOfOneLetterEntries(kMegabyte), "audio/x-mpegurl"));
  server.Serve("/big/a", tone);

  // Playlists whose last line is cut: by a dropped connection, and by the size cap. The part
  // read is an address that plays; the first entry is gone.
  const std::string cut_entry = home + "/cut/tone.mp3";
  const std::string capped_entry = home + "/cut/capped.mp3";
  server.Serve("/cut/gone.mp3", StatusOnly(404));
  server.Serve("/cut/tone.mp3", tone);
  server.Serve("/cut/capped.mp3", tone);
  const std::string dropped_body = "#EXTM3U\n/cut/gone.mp3\n" + cut_entry + "x.mp3\n";
  StreamResource dropped = TextFile(dropped_body, "audio/x-mpegurl");
  dropped.cut_at = dropped_body.find(cut_entry) + cut_entry.size();
  server.Serve("/cut/dropped.m3u", dropped);
  server.Serve("/cut/capped.m3u", TextFile(M3uWithLineCutAt("/cut/gone.mp3", capped_entry, "x.mp3",
                                                            stream::limits::kMaxPlaylistBytes),
                                           "audio/x-mpegurl"));

  // icy-metaint values: none valid but 1; the tone plays under each.
  for (const auto& [name, value] : std::map<std::string, std::string>{
           {"0", "0"}, {"1", "1"}, {"-1", "-1"}, {"huge", "4294967297"}}) {
    StreamResource odd = tone;
    odd.icy_metaint_header = value;
    odd.icy_interval = name == "1" ? 1 : 0;
    server.Serve("/metaint/" + name + ".mp3", odd);
  }
  server.SetTitle("/metaint/1.mp3", "Metaint one");

  // Titles: GBK and UTF-8 as stations send them, and one longer than any window.
  for (const char* path : {"/title/gbk.mp3", "/title/utf8.mp3", "/title/long.mp3"})
    server.Serve(path, stations.Resource("/icy.mp3"));
  server.SetTitle("/title/gbk.mp3", "\xD6\xD0\xCE\xC4\xB5\xE7\xCC\xA8 - Song");  // 中文电台
  server.SetTitle("/title/utf8.mp3", "中文电台 - Song");
  std::string long_title = "a";
  while (long_title.size() < 4000)
    long_title += "\xD6\xD0";  // 中
  server.SetTitle("/title/long.mp3", long_title);
}

// The kinds of stream made by ffmpeg, as plain web servers and stations send them.
void StationRoutes::ServeKinds(StreamServer& server) {
  if (kinds_.empty()) return;
  const auto kind = [&](const std::string& name) -> const KindFile& { return kinds_.at(name); };
  server.Serve("/kinds/lowrate.mp3", Paced(kind("lowrate.mp3"), "audio/mpeg", true));
  StreamResource chunked = Paced(kind("lowrate.mp3"), "audio/mpeg", true);
  chunked.chunked = true;
  server.Serve("/kinds/chunked.mp3", chunked);
  server.Serve("/kinds/switching.mp3", Paced(kind("switching.mp3"), "audio/mpeg", true));
  server.Serve("/kinds/html.mp3", Paced(kind("lowrate.mp3"), "text/html", true));
  server.Serve("/kinds/plain.m3u8", TextFile("#EXTM3U\n" + server.Url("/kinds/lowrate.mp3") + "\n",
                                             "application/vnd.apple.mpegurl"));
  server.Serve("/kinds/chained.ogg", Whole(kind("chained.ogg"), "application/ogg"));
  server.Serve("/kinds/opus.ogg", Paced(kind("opus.ogg"), "audio/ogg", false));
  server.Serve("/kinds/vorbis.ogg", Paced(kind("vorbis.ogg"), "audio/ogg", false));
  server.Serve("/kinds/tone.flac", Paced(kind("tone.flac"), "audio/flac", false));
  for (const auto& [name, file] : kinds_) {
    if (name.find('/') != std::string::npos)
      server.Serve("/kinds/" + name, Whole(file, TypeOf(name)));
  }
}

}  // namespace lumio::test

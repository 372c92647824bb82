#include "recording/cue_sheet.h"

#include <cstdio>

#include "text/gbk.h"

namespace lumio {
namespace {

// A text as a quoted CUE value: UTF-8, no quotes or line ends inside.
std::string Quoted(std::string_view gbk) {
  std::string text = GbkToUtf8Lossy(gbk);
  for (char& c : text) {
    if (c == '"') c = '\'';
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  }
  return "\"" + text + "\"";
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ')
    text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ')
    text.remove_suffix(1);
  return text;
}

}  // namespace

std::string CueTime(uint64_t nanoseconds) {
  const uint64_t frames = nanoseconds * 75 / 1'000'000'000;
  char text[32];
  std::snprintf(text, sizeof text, "%02llu:%02llu:%02llu",
                static_cast<unsigned long long>(frames / (75 * 60)),
                static_cast<unsigned long long>(frames / 75 % 60),
                static_cast<unsigned long long>(frames % 75));
  return text;
}

std::string CueSheet(std::string_view audioFileNameGbk, std::string_view fileType,
                     std::string_view stationGbk, const std::vector<CueTrack>& tracks) {
  std::string sheet = "\xEF\xBB\xBF";
  sheet += "TITLE " + Quoted(stationGbk) + "\r\n";
  sheet += "FILE " + Quoted(audioFileNameGbk) + " " + std::string(fileType) + "\r\n";
  int number = 0;
  for (const CueTrack& track : tracks) {
    if (number == kMaxCueTracks) break;
    char head[32];
    std::snprintf(head, sizeof head, "  TRACK %02d AUDIO\r\n", ++number);
    sheet += head;
    const std::string_view title = track.title;
    // The artist is what comes before the first " - ", found on whole characters so that the
    // second byte of a Chinese character is never taken for the dash.
    size_t dash = std::string_view::npos;
    for (size_t i = 0; i + 3 <= title.size();) {
      if (title.substr(i, 3) == " - ") {
        dash = i;
        break;
      }
      i += IsGbkLeadByte(static_cast<unsigned char>(title[i])) ? 2 : 1;
    }
    if (dash != std::string_view::npos && !Trimmed(title.substr(0, dash)).empty() &&
        !Trimmed(title.substr(dash + 3)).empty()) {
      sheet += "    TITLE " + Quoted(Trimmed(title.substr(dash + 3))) + "\r\n";
      sheet += "    PERFORMER " + Quoted(Trimmed(title.substr(0, dash))) + "\r\n";
    } else {
      sheet += "    TITLE " + Quoted(Trimmed(title)) + "\r\n";
    }
    sheet += "    INDEX 01 " + CueTime(track.startNs) + "\r\n";
  }
  return sheet;
}

}  // namespace lumio

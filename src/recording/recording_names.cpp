#include "recording/recording_names.h"

#include <cstdio>
#include <vector>

#include "text/gbk.h"
#include "text/literal.h"

namespace lumio {
namespace {

// Station names are short; a long one is cut so that the whole path stays well within what
// every system takes.
constexpr size_t kMaxStationNameBytes = 80;

bool IsForbiddenInFileName(unsigned char c) {
  return c < 0x20 || c == 0x7F || c == '\\' || c == '/' || c == ':' || c == '*' || c == '?' ||
         c == '"' || c == '<' || c == '>' || c == '|';
}

std::string SafeName(std::string_view gbk) {
  // Whole characters: a two-byte one is kept as it is, a one-byte one checked.
  std::vector<std::string> characters;
  const std::string_view cut = CutGbk(gbk, kMaxStationNameBytes);
  for (size_t i = 0; i < cut.size();) {
    const auto c = static_cast<unsigned char>(cut[i]);
    const size_t width = IsGbkLeadByte(c) && i + 1 < cut.size() ? 2 : 1;
    characters.emplace_back(width == 2 ? std::string(cut.substr(i, 2))
                                       : std::string(1, IsForbiddenInFileName(c) ? '_' : cut[i]));
    i += width;
  }
  while (!characters.empty() && (characters.back() == " " || characters.back() == "."))
    characters.pop_back();
  std::string out;
  bool leading = true;
  for (const std::string& character : characters) {
    if (leading && character == " ") continue;
    leading = false;
    out += character;
  }
  return out;
}

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/')
    path.pop_back();
  return path;
}

bool IsAbsolute(std::string_view path) {
  return !path.empty() && path.front() == '/';
}

// The value of XDG_MUSIC_DIR: a quoted "$HOME/..." or absolute path, as the desktop writes it.
std::string MusicDirFromUserDirs(std::string_view text, const std::string& home) {
  std::string found;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
      line.remove_prefix(1);
    constexpr std::string_view kKey = "XDG_MUSIC_DIR=";
    if (line.substr(0, kKey.size()) != kKey) continue;
    std::string_view value = line.substr(kKey.size());
    if (value.size() < 2 || value.front() != '"') continue;
    const size_t close = value.find('"', 1);
    if (close == std::string_view::npos) continue;
    value = value.substr(1, close - 1);
    constexpr std::string_view kHome = "$HOME";
    std::string path;
    if (value.substr(0, kHome.size()) == kHome &&
        (value.size() == kHome.size() || value[kHome.size()] == '/')) {
      if (home.empty()) continue;
      path = home + std::string(value.substr(kHome.size()));
    } else if (IsAbsolute(value)) {
      path = std::string(value);
    } else {
      continue;
    }
    found = WithoutTrailingSlashes(path);  // the last assignment wins, as in the shell
  }
  // Set to the home folder itself, the music folder is switched off.
  if (!found.empty() && found == WithoutTrailingSlashes(home)) return {};
  return found;
}

}  // namespace

std::string RecordingStem(std::string_view stationGbk, const LocalTime& start, int32_t attempt) {
  static const Literal kDefaultName("录音");
  std::string name = SafeName(stationGbk);
  if (name.empty()) name = kDefaultName.gbk();
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, " %04d-%02d-%02d %02d%02d%02d", start.year, start.month,
                start.day, start.hour, start.minute, start.second);
  name += stamp;
  if (attempt > 1) name += " (" + std::to_string(attempt) + ")";
  return name;
}

std::string UserDirsPath(const RecordingFolderFacts& facts) {
  if (IsAbsolute(facts.xdgConfigHome))
    return WithoutTrailingSlashes(facts.xdgConfigHome) + "/user-dirs.dirs";
  if (IsAbsolute(facts.home)) return WithoutTrailingSlashes(facts.home) + "/.config/user-dirs.dirs";
  return {};
}

std::string ChooseRecordingFolder(const RecordingFolderFacts& facts) {
  if (facts.portable) {
    if (facts.programDir.empty()) return {};
    return facts.programDir + facts.recordingsName;
  }
  const std::string home = IsAbsolute(facts.home) ? WithoutTrailingSlashes(facts.home) : "";
  std::string music = MusicDirFromUserDirs(facts.userDirs, home);
  if (music.empty()) {
    if (home.empty()) return {};
    music = home + "/Music";
  }
  return music + "/Lumio";  // the desktop's folders are a POSIX matter
}

}  // namespace lumio

// The XML-ish playlists: ASX and XSPF.
#include "stream/markup_scan.h"
#include "stream/playlist.h"
#include "stream/stream_limits.h"
#include "stream/stream_text.h"
#include "stream/text_scan.h"
#include "stream/url.h"

namespace lumio::stream {

namespace {

// The addresses and the title of one <entry> or <track>, given out together at its end, since
// the title may come after the addresses.
class Group {
 public:
  Group(std::string_view playlist_url, std::vector<PlaylistEntry>& out)
      : playlist_url_(playlist_url), out_(out) {}

  void Open() {
    Close();
    open_ = true;
  }
  bool open() const { return open_; }
  // The cap is reached once the group is closed: no more entries are wanted.
  bool full() const { return out_.size() >= limits::kMaxPlaylistEntries; }

  void AddUrl(std::string_view url) {
    url = Trim(url);
    if (url.empty() || HasControlBytes(url)) return;
    if (out_.size() + urls_.size() >= limits::kMaxPlaylistEntries) return;
    urls_.push_back(ResolveUrl(playlist_url_, url));
    if (!open_) Close();  // an address outside any group stands alone
  }

  void SetTitle(std::string_view title) {
    if (open_ && title_.empty()) title_ = StreamTitleForListener(Trim(title));
  }

  void Close() {
    for (std::string& url : urls_)
      out_.push_back({std::move(url), title_});
    urls_.clear();
    title_.clear();
    open_ = false;
  }

 private:
  std::string_view playlist_url_;
  std::vector<PlaylistEntry>& out_;
  std::vector<std::string> urls_;
  std::string title_;
  bool open_ = false;
};

// Walks the tags of `bytes`: `group_tag` opens and closes a group, each `url_tags` start tag
// adds the address in its href attribute, and the text of `text_url_tag` (if named) is an
// address; the text of <title> titles the open group.
std::vector<PlaylistEntry> ParseMarkup(std::string_view bytes, bool whole,
                                       std::string_view playlist_url, std::string_view group_tag,
                                       std::initializer_list<std::string_view> url_tags,
                                       std::string_view text_url_tag) {
  std::vector<PlaylistEntry> out;
  Group group(playlist_url, out);
  MarkupScanner scanner(StripUtf8Bom(bytes), whole);
  MarkupToken token;
  std::string_view capturing;  // the tag whose text is being collected
  std::string text;
  while (!group.full() && scanner.Next(token)) {
    if (token.kind == MarkupToken::Kind::kText) {
      if (!capturing.empty()) text += token.text;
      continue;
    }
    // Any tag ends a capture: sloppy files leave </title> out.
    if (!capturing.empty()) {
      if (capturing == "title") {
        group.SetTitle(text);
      } else {
        group.AddUrl(text);
      }
      capturing = {};
      text.clear();
    }
    const bool start = token.kind == MarkupToken::Kind::kStartTag;
    if (token.name == group_tag) {
      start ? group.Open() : group.Close();
    } else if (start && token.name == "title" && group.open()) {
      capturing = "title";
    } else if (start && !text_url_tag.empty() && token.name == text_url_tag && group.open()) {
      capturing = text_url_tag;
    } else if (start) {
      for (std::string_view tag : url_tags)
        if (token.name == tag) group.AddUrl(token.Attribute("href"));
    }
  }
  // An address cut off by the end of the file is left out; so is a title, unless the file
  // merely forgot its end tag.
  if (capturing == "title" && whole) group.SetTitle(text);
  group.Close();
  return out;
}

}  // namespace

std::vector<PlaylistEntry> ParseAsx(std::string_view bytes, std::string_view playlist_url,
                                    bool whole) {
  bytes = PlaylistBytesRead(bytes, whole);
  if (StartsWithIgnoreCase(Trim(StripUtf8Bom(bytes)), "[reference]"))
    return ParseReferenceFile(bytes, playlist_url, whole);
  return ParseMarkup(bytes, whole, playlist_url, "entry", {"ref", "entryref"}, {});
}

std::vector<PlaylistEntry> ParseXspf(std::string_view bytes, std::string_view playlist_url,
                                     bool whole) {
  bytes = PlaylistBytesRead(bytes, whole);
  return ParseMarkup(bytes, whole, playlist_url, "track", {}, "location");
}

}  // namespace lumio::stream

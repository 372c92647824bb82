#pragma once
// The 歌曲记录 dialog's list: a row per song heard, newest first, at the local time it was heard.

#include <vector>

#include "history/song_history.h"
#include "ports/clock.h"
#include "ports/window_layer.h"

namespace lumio {

// Columns 时间 ("MM-DD HH:MM", local), 电台 and 歌曲; `copyText` is the history's text to copy.
SongHistoryTable MakeSongHistoryTable(const std::vector<HeardSong>& songs, const Clock& clock,
                                      std::string copyText);

}  // namespace lumio

#include "history/song_history_table.h"

#include <cstdio>

#include "text/literal.h"

namespace lumio {

SongHistoryTable MakeSongHistoryTable(const std::vector<HeardSong>& songs, const Clock& clock,
                                      std::string copyText) {
  SongHistoryTable table;
  table.columns = {
      {Literal("时间").gbk(), 52}, {Literal("电台").gbk(), 80}, {Literal("歌曲").gbk(), 140}};
  for (const HeardSong& song : songs) {
    const LocalTime at = LocalTimeAt(clock, song.time);
    char time[32];
    std::snprintf(time, sizeof time, "%02d-%02d %02d:%02d", at.month, at.day, at.hour, at.minute);
    table.rows.push_back({time, song.station, song.title});
  }
  table.copyText = std::move(copyText);
  return table;
}

}  // namespace lumio

#pragma once
// What the sleep timer, the schedule and the recorder's keeper ask of the program. The main
// window implements it over its playback controller and its station lists.

#include <cstdint>
#include <optional>
#include <string>

namespace lumio {

struct CurrentStation {
  int32_t nid = 0;
  std::string name;  // GBK
};

class ProgramControls {
 public:
  virtual ~ProgramControls() = default;
  // The station started last and neither stopped nor paused since (while it connects or
  // reconnects too); nullopt when none.
  virtual std::optional<CurrentStation> PlayingStation() const = 0;
  // The song the playing station names now (GBK); "" when none.
  virtual std::string PlayingTitle() const = 0;
  // Starts the station with id `nid`, or, when none has it, the one called `name`, as the
  // station list's "播放" does; false when no such station is known.
  virtual bool PlayStationById(int32_t nid, const std::string& name) = 0;
  // As the Stop button.
  virtual void StopPlayback() = 0;
  // The volume the listener chose, 0..100 (the slider and the saved setting).
  virtual int32_t VolumeSetting() const = 0;
  // The player's volume alone, 0..100: the slider and the saved setting stay as they are.
  virtual void SetPlayerVolume(int32_t volume) = 0;
};

// Seconds that passed between readings of the wall clock: a clock set back counts as no time,
// so that a wait never grows; one set forward (or a machine that slept) counts in full.
class ElapsedTime {
 public:
  void Begin(uint32_t nowUtc) {
    m_last = nowUtc;
    m_elapsed = 0;
  }
  // Adds the time since the last reading; the total so far.
  int64_t Advance(uint32_t nowUtc) {
    const int64_t step = int64_t{nowUtc} - int64_t{m_last};
    m_last = nowUtc;
    if (step > 0) m_elapsed += step;
    return m_elapsed;
  }
  int64_t Elapsed() const { return m_elapsed; }

 private:
  uint32_t m_last = 0;
  int64_t m_elapsed = 0;
};

}  // namespace lumio

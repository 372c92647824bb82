#pragma once
#include <cstdint>

namespace lumio {

// Wall-clock time, as the program stamps records played or added to the favourites.
class Clock {
 public:
  virtual ~Clock() = default;
  // Seconds since 1 January 1970 UTC.
  virtual uint32_t NowSeconds() const = 0;
  // How far the local time (time zone and summer time) is ahead of UTC at the UTC second
  // `utcSeconds`, in seconds: local = UTC + offset.
  virtual int32_t UtcOffsetSeconds(uint32_t utcSeconds) const = 0;
};

// The system clock.
class SystemClock final : public Clock {
 public:
  uint32_t NowSeconds() const override;
  int32_t UtcOffsetSeconds(uint32_t utcSeconds) const override;
};

// A moment of the local calendar.
struct LocalTime {
  int32_t year = 1970;
  int32_t month = 1;  // 1..12
  int32_t day = 1;    // 1..31
  int32_t hour = 0;
  int32_t minute = 0;
  int32_t second = 0;
  int32_t weekday = 4;    // 1 = Monday .. 7 = Sunday
  int64_t dayNumber = 0;  // days since 1970-01-01 of the local calendar
};

inline constexpr int64_t kSecondsPerDay = 86400;

// Days since 1970-01-01 of a date of the Gregorian calendar (no check of the fields).
constexpr int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
  year -= month <= 2 ? 1 : 0;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yearOfEra = year - era * 400;
  const int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

// The calendar fields of `localSeconds`, counted from 1970-01-01 00:00 of the local calendar.
constexpr LocalTime CivilTime(int64_t localSeconds) {
  int64_t days = localSeconds / kSecondsPerDay;
  int64_t secondOfDay = localSeconds % kSecondsPerDay;
  if (secondOfDay < 0) {
    secondOfDay += kSecondsPerDay;
    days -= 1;
  }
  const int64_t z = days + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t dayOfEra = z - era * 146097;
  const int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
  LocalTime t;
  t.day = static_cast<int32_t>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
  t.month = static_cast<int32_t>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
  t.year = static_cast<int32_t>(yearOfEra + era * 400 + (t.month <= 2 ? 1 : 0));
  t.hour = static_cast<int32_t>(secondOfDay / 3600);
  t.minute = static_cast<int32_t>(secondOfDay / 60 % 60);
  t.second = static_cast<int32_t>(secondOfDay % 60);
  t.weekday = static_cast<int32_t>(((days + 3) % 7 + 7) % 7 + 1);  // 1970-01-01 was a Thursday
  t.dayNumber = days;
  return t;
}

// The local clock's reading at the UTC second `utcSeconds`, as seconds since 1970-01-01 00:00
// local: what a listener's watch says, which jumps when the clock or the summer time changes.
inline int64_t LocalSeconds(const Clock& clock, uint32_t utcSeconds) {
  return int64_t{utcSeconds} + clock.UtcOffsetSeconds(utcSeconds);
}

inline LocalTime LocalTimeAt(const Clock& clock, uint32_t utcSeconds) {
  return CivilTime(LocalSeconds(clock, utcSeconds));
}

}  // namespace lumio

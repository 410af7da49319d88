#pragma once
// The time-zone data the web update compares file times with: the state in
// force now and the offsets from UTC in minutes, as Windows reports them
// (UTC = local time + Bias, + DaylightBias as well while daylight saving time
// is in force). The C library's zone is the source unless a test installs its own.

#include <cstdint>
#include <ctime>
#include <functional>

namespace platform {

struct TimeZoneInformation {
    std::int32_t Bias = 0;          // minutes, standard time
    std::int32_t DaylightBias = 0;  // minutes added while daylight saving time is in force
};

// What GetTimeZoneInformation returns about the state in force now.
inline constexpr int TimeZoneIdUnknown = 0;   // the zone has no daylight saving time
inline constexpr int TimeZoneIdStandard = 1;
inline constexpr int TimeZoneIdDaylight = 2;

// Fills the record and returns the state in force now.
int GetTimeZoneInformation(TimeZoneInformation& info);

// The C library's zone (TZ) at the moment `at`.
int timeZoneAt(std::time_t at, TimeZoneInformation& info);

// Replaces the source; an empty one restores the C library's zone.
using TimeZoneSource = std::function<int(TimeZoneInformation&)>;
void installTimeZoneSource(TimeZoneSource source);

}  // namespace platform

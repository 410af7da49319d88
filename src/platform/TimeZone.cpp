#include "platform/TimeZone.h"

#include <utility>

namespace platform {

namespace {

TimeZoneSource& installedSource()
{
    static TimeZoneSource source;
    return source;
}

struct LocalOffset {
    long minutesEast = 0;
    bool daylight = false;
};

LocalOffset offsetAt(std::time_t at)
{
    std::tm local{};
    localtime_r(&at, &local);
    return {local.tm_gmtoff / 60, local.tm_isdst > 0};
}

// The zone's offsets in January and in July of the year of `at`: one of the
// two lies in daylight saving time wherever the zone has it, either hemisphere.
std::pair<LocalOffset, LocalOffset> offsetsOfTheYear(std::time_t at)
{
    std::tm date{};
    localtime_r(&at, &date);
    std::tm january{};
    january.tm_year = date.tm_year;
    january.tm_mday = 15;
    january.tm_hour = 12;
    january.tm_isdst = -1;
    std::tm july = january;
    july.tm_mon = 6;
    return {offsetAt(std::mktime(&january)), offsetAt(std::mktime(&july))};
}

}  // namespace

int timeZoneAt(std::time_t at, TimeZoneInformation& info)
{
    const auto [january, july] = offsetsOfTheYear(at);
    const bool hasDaylight = january.daylight != july.daylight;
    const LocalOffset standard = january.daylight ? july : january;
    info.Bias = static_cast<std::int32_t>(-standard.minutesEast);
    info.DaylightBias = 0;
    if (!hasDaylight)
        return TimeZoneIdUnknown;
    const LocalOffset daylight = january.daylight ? january : july;
    info.DaylightBias = static_cast<std::int32_t>(standard.minutesEast - daylight.minutesEast);
    return offsetAt(at).daylight ? TimeZoneIdDaylight : TimeZoneIdStandard;
}

int GetTimeZoneInformation(TimeZoneInformation& info)
{
    if (const TimeZoneSource& source = installedSource())
        return source(info);
    return timeZoneAt(std::time(nullptr), info);
}

void installTimeZoneSource(TimeZoneSource source) { installedSource() = std::move(source); }

}  // namespace platform

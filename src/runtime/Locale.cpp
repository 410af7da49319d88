#include "runtime/Locale.h"

#include <array>

namespace runtime::locale {

namespace {
constexpr std::array<const char*, 12> LongMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};
constexpr std::array<const char*, 7> LongDayNames = {
    "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};
}  // namespace

QString longDayName(int weekday)
{
    if (weekday < 1 || weekday > 7)
        return {};
    return QString::fromLatin1(LongDayNames[weekday - 1]);
}

QString longMonthName(int month)
{
    if (month < 1 || month > 12)
        return {};
    return QString::fromLatin1(LongMonthNames[month - 1]);
}

QString shortMonthName(int month)
{
    return longMonthName(month).left(3);
}

}  // namespace runtime::locale

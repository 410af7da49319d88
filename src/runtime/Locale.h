#pragma once
// The one system locale the program runs under: US English conventions.

#include <QChar>
#include <QString>

namespace runtime::locale {

inline constexpr QChar DecimalSeparator = u'.';
inline constexpr QChar GroupSeparator = u',';
QString shortMonthName(int month);  // 1..12 -> "Jan".."Dec"
QString longMonthName(int month);   // 1..12 -> "January".."December"
QString longDayName(int weekday);   // 1..7 -> "Monday".."Sunday" (QDate::dayOfWeek)

}  // namespace runtime::locale

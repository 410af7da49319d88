#pragma once
// The runtime date: a double counting days since 30 December 1899 at midnight,
// the time of day as the fraction (negative dates count back, with the fraction
// still added forward, as the classic runtime does). All text forms use the
// fixed system locale of Locale.h.

#include <QDateTime>
#include <QString>
#include <optional>

namespace runtime {

using Date = double;

inline constexpr Date ZeroDate = 0.0;  // 30 December 1899, midnight

// Whether the day exists, as QDate::isValid tells (there is no year 0).
bool isValidDate(int year, int month, int day);
Date makeDate(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
Date now();

// Local wall-clock time, to the second.
Date fromQDateTime(const QDateTime& dateTime);
QDateTime toQDateTime(Date date);

struct DateParts {
    int year, month, day, hour, minute, second;
};
DateParts splitDate(Date date);

// "12/11/2008 12:00:00 PM"; the time alone when the date part is the zero
// date ("12:00:00 PM"), the date alone at midnight ("12/11/2008").
QString generalDateText(Date date);

// Parses the forms the program writes and reads: general date text, a date
// alone, a time alone, "07 Dec 2026 10:30:00" and month-name forms. nullopt
// when the text is no date.
std::optional<Date> parseDate(const QString& text);
// As parseDate, raising error 13 (type mismatch) when the text is no date.
Date cdate(const QString& text);

// The date formats the program uses: "mmm, dd yy" ("Dec, 11 08").
QString formatDate(Date date, const QString& pattern);

}  // namespace runtime

#include "runtime/DateTime.h"

#include "runtime/Locale.h"
#include "runtime/Numbers.h"
#include "runtime/RuntimeError.h"

#include <QDate>
#include <QTime>
#include <cmath>

namespace runtime {

namespace {

constexpr qint64 ZeroDateJulianDay = 2415019;  // 30 December 1899
constexpr int SecondsPerDay = 86400;

// A day number and a time of day make a date: the time is added for days on
// or after the zero date and subtracted before it (-1.25 is 29 December 1899, 6 AM).
Date combine(qint64 dayNumber, int secondsOfDay)
{
    const double fraction = secondsOfDay / double(SecondsPerDay);
    return dayNumber >= 0 ? double(dayNumber) + fraction : double(dayNumber) - fraction;
}

struct DayAndTime {
    qint64 dayNumber;
    int seconds;
};

DayAndTime split(Date date)
{
    double dayPart = std::trunc(date);
    auto seconds = static_cast<int>(std::llround(std::fabs(date - dayPart) * SecondsPerDay));
    auto dayNumber = static_cast<qint64>(dayPart);
    if (seconds == SecondsPerDay) {  // rounds to the next midnight, back in time before the zero date
        seconds = 0;
        dayNumber += date < 0 ? -1 : 1;
    }
    return {dayNumber, seconds};
}

// The Julian day number of a day of year 1 or later that exists, counted as
// QDate counts it: in the Gregorian calendar, however far back.
qint64 gregorianJulianDay(int year, int month, int day)
{
    const int march = month <= 2 ? 1 : 0;  // the year counted from March, so that 29 February ends it
    const qint64 years = qint64(year) + 4800 - march;
    const int monthFromMarch = month + 12 * march - 3;
    return day + (153 * monthFromMarch + 2) / 5 + 365 * years + years / 4 - years / 100 + years / 400 - 32045;
}

QDate dayNumberDate(qint64 dayNumber)
{
    return QDate::fromJulianDay(ZeroDateJulianDay + dayNumber);
}

QString twoDigits(int value) { return QStringLiteral("%1").arg(value, 2, 10, QChar(u'0')); }

// Writes the number in decimal, with at least `width` digits; returns the end.
char16_t* putNumber(char16_t* out, int value, int width = 1)
{
    if (value < 0)
        *out++ = u'-';
    unsigned magnitude = value < 0 ? 0u - unsigned(value) : unsigned(value);
    char16_t digits[10];
    int count = 0;
    do {
        digits[count++] = char16_t(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude > 0 || count < width);
    while (count > 0)
        *out++ = digits[--count];
    return out;
}

int hour12(int hour) { return hour % 12 == 0 ? 12 : hour % 12; }

QString amPm(int hour) { return hour < 12 ? QStringLiteral("AM") : QStringLiteral("PM"); }

}  // namespace

bool isValidDate(int year, int month, int day)
{
    if (year == 0 || month < 1 || month > 12 || day < 1)
        return false;
    const int counted = year < 0 ? year + 1 : year;  // 1 BC is a leap year, as year 0 would be
    const bool leap = counted % 4 == 0 && (counted % 100 != 0 || counted % 400 == 0);
    static constexpr int MonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return day <= MonthDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

Date makeDate(int year, int month, int day, int hour, int minute, int second)
{
    // A month or day beyond its range carries into the next, as the classic
    // runtime's DateSerial does; a day that exists from year 1 on is counted
    // at once.
    const qint64 julianDay = year >= 1 && isValidDate(year, month, day)
                                 ? gregorianJulianDay(year, month, day)
                                 : QDate(year, 1, 1).addMonths(month - 1).addDays(day - 1).toJulianDay();
    qint64 seconds = qint64(hour) * 3600 + qint64(minute) * 60 + second;
    const qint64 dayNumber = julianDay - ZeroDateJulianDay + seconds / SecondsPerDay;
    return combine(dayNumber, static_cast<int>(seconds % SecondsPerDay));
}

Date now()
{
    return fromQDateTime(QDateTime::currentDateTime());
}

Date fromQDateTime(const QDateTime& dateTime)
{
    const QDateTime local = dateTime.toLocalTime();
    return combine(local.date().toJulianDay() - ZeroDateJulianDay,
                   local.time().msecsSinceStartOfDay() / 1000);
}

QDateTime toQDateTime(Date date)
{
    const DayAndTime parts = split(date);
    return QDateTime(dayNumberDate(parts.dayNumber),
                     QTime::fromMSecsSinceStartOfDay(parts.seconds * 1000));
}

DateParts splitDate(Date date)
{
    const DayAndTime parts = split(date);
    const QDate day = dayNumberDate(parts.dayNumber);
    return {day.year(),           day.month(),              day.day(),
            parts.seconds / 3600, parts.seconds / 60 % 60, parts.seconds % 60};
}

QString generalDateText(Date date)
{
    // Built by hand, without printf: the folder walk writes one for every file it lists.
    const DayAndTime whole = split(date);
    char16_t text[48];
    char16_t* end = text;
    if (whole.dayNumber != 0) {
        int year = 0, month = 0, day = 0;
        dayNumberDate(whole.dayNumber).getDate(&year, &month, &day);
        end = putNumber(end, month);
        *end++ = u'/';
        end = putNumber(end, day);
        *end++ = u'/';
        end = putNumber(end, year);
    }
    if (whole.dayNumber == 0 || whole.seconds != 0) {
        if (end != text)
            *end++ = u' ';
        const int hour = whole.seconds / 3600;
        end = putNumber(end, hour12(hour));
        *end++ = u':';
        end = putNumber(end, whole.seconds / 60 % 60, 2);
        *end++ = u':';
        end = putNumber(end, whole.seconds % 60, 2);
        *end++ = u' ';
        *end++ = hour < 12 ? u'A' : u'P';
        *end++ = u'M';
    }
    return QString(reinterpret_cast<const QChar*>(text), end - text);
}

Date cdate(const QString& text)
{
    const std::optional<Date> date = parseDate(text);
    if (!date)
        raise(err::TypeMismatch);
    return *date;
}

// Pattern letters: d dd (day), m mm mmm mmmm (month, or minute right after an
// hour), yy yyyy, h hh, n nn (minute), s ss, AM/PM; "\" quotes the next
// character; any other character is copied.
QString formatDate(Date date, const QString& pattern)
{
    const DateParts p = splitDate(date);
    const bool twelveHour = pattern.contains(u"AM/PM", Qt::CaseInsensitive);
    QString text;
    bool afterHour = false;
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern[i].toLower();
        qsizetype run = 1;
        while (i + run < pattern.size() && pattern[i + run].toLower() == c)
            ++run;
        if (pattern.mid(i, 5).compare(u"AM/PM", Qt::CaseInsensitive) == 0) {
            const QString marker = amPm(p.hour);
            text += pattern[i].isUpper() ? marker : marker.toLower();
            i += 5;
            continue;
        }
        const bool isMinute = c == u'n' || (c == u'm' && afterHour && run <= 2);
        const int hour = twelveHour ? hour12(p.hour) : p.hour;
        if (c == u'd')
            text += run >= 2 ? twoDigits(p.day) : QString::number(p.day);
        else if (isMinute)
            text += run >= 2 ? twoDigits(p.minute) : QString::number(p.minute);
        else if (c == u'm')
            text += run >= 4   ? locale::longMonthName(p.month)
                    : run == 3 ? locale::shortMonthName(p.month)
                    : run == 2 ? twoDigits(p.month)
                               : QString::number(p.month);
        else if (c == u'y')
            text += run >= 3 ? QString::number(p.year) : twoDigits(p.year % 100);
        else if (c == u'h')
            text += run >= 2 ? twoDigits(hour) : QString::number(hour);
        else if (c == u's')
            text += run >= 2 ? twoDigits(p.second) : QString::number(p.second);
        else if (c == u'\\' && i + 1 < pattern.size()) {
            text += pattern[i + 1];
            i += 2;
            continue;
        } else {
            text += pattern[i];
            i += 1;
            continue;
        }
        afterHour = c == u'h';
        i += run;
    }
    return text;
}

}  // namespace runtime

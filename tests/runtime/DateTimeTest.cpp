#include "runtime/DateTime.h"
#include "runtime/Numbers.h"
#include "runtime/RuntimeError.h"
#include "runtime/ErrorNumber.h"

#include <gtest/gtest.h>

using namespace runtime;

namespace {

constexpr double OneSecond = 1.0 / 86400;

struct DateTextRow {
    Date date;
    const char* text;
};

class GeneralDateText : public testing::TestWithParam<DateTextRow> {};

TEST_P(GeneralDateText, WritesAndReadsBack)
{
    const DateTextRow row = GetParam();
    EXPECT_EQ(generalDateText(row.date), QString::fromLatin1(row.text));
    const std::optional<Date> parsed = parseDate(QString::fromLatin1(row.text));
    ASSERT_TRUE(parsed.has_value());
    EXPECT_NEAR(*parsed, row.date, OneSecond / 10);
}

INSTANTIATE_TEST_SUITE_P(
    Dates, GeneralDateText,
    testing::Values(DateTextRow{39793.5, "12/11/2008 12:00:00 PM"},
                    DateTextRow{makeDate(2008, 12, 11), "12/11/2008"},
                    DateTextRow{ZeroDate, "12:00:00 AM"},
                    DateTextRow{makeDate(1899, 12, 30, 13, 5, 0), "1:05:00 PM"},
                    DateTextRow{makeDate(2026, 1, 5, 0, 0, 1), "1/5/2026 12:00:01 AM"},
                    DateTextRow{-1.25, "12/29/1899 6:00:00 AM"},
                    DateTextRow{-1.9999999999, "12/28/1899"},
                    DateTextRow{makeDate(1752, 9, 14, 23, 59, 59), "9/14/1752 11:59:59 PM"}));

struct ParseRow {
    const char* text;
    Date expected;
};

class ParseDate : public testing::TestWithParam<ParseRow> {};

TEST_P(ParseDate, ReadsTheForms)
{
    const std::optional<Date> parsed = parseDate(QString::fromLatin1(GetParam().text));
    ASSERT_TRUE(parsed.has_value()) << GetParam().text;
    EXPECT_NEAR(*parsed, GetParam().expected, OneSecond / 10) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ParseDate,
    testing::Values(ParseRow{"07 Dec 2026 10:30:00", makeDate(2026, 12, 7, 10, 30, 0)},
                    ParseRow{"Dec 7, 2026", makeDate(2026, 12, 7)},
                    ParseRow{"Monday, December 7, 2026", makeDate(2026, 12, 7)},
                    ParseRow{"Sun, 07 Dec 2026 10:30:00", makeDate(2026, 12, 7, 10, 30, 0)},
                    ParseRow{"December 7 2026 1 PM", makeDate(2026, 12, 7, 13, 0, 0)},
                    ParseRow{"2026-12-07 10:30:00", makeDate(2026, 12, 7, 10, 30, 0)},
                    ParseRow{"  12/11/2008   12:00 am ", makeDate(2008, 12, 11)},
                    ParseRow{"12/11/08", makeDate(2008, 12, 11)},
                    ParseRow{"12/11/49", makeDate(1949, 12, 11)},
                    ParseRow{"13/12/2008", makeDate(2008, 12, 13)},
                    ParseRow{"17:45", makeDate(1899, 12, 30, 17, 45, 0)},
                    ParseRow{"39793.5", 39793.5},
                    ParseRow{"-1.25", -1.25}));

TEST(ParseDate, RefusesTextThatIsNoDate)
{
    for (const char* text : {"", "abc", "True", "13/13/2008", "2/30/2008", "25:00",
                             "12:60", "1:2:3:4", "10:30 XM", "Dec Jan 2026", "12/11/2008 #", "1e400",
                             "2958466", "-657435"}) {
        EXPECT_FALSE(parseDate(QString::fromLatin1(text)).has_value()) << text;
        EXPECT_EQ(errorNumberOf([text] { cdate(QString::fromLatin1(text)); }), err::TypeMismatch);
    }
}

TEST(GeneralDateText, RoundTripsEverySecondCount)
{
    for (Date date = -600000.123; date < 2900000; date += 12345.678901) {
        const QString text = generalDateText(date);
        EXPECT_NEAR(cdate(text), date, OneSecond / 2 + 1e-9) << text.toStdString();
    }
}

TEST(DateParts, SplitRoundsToTheSecond)
{
    const DateParts almostMidnight = splitDate(makeDate(2008, 12, 11) - 0.1 * OneSecond);
    EXPECT_EQ(almostMidnight.day, 11);
    EXPECT_EQ(almostMidnight.hour, 0);
    const DateParts parts = splitDate(makeDate(2008, 12, 11, 23, 59, 59));
    EXPECT_EQ(std::tie(parts.year, parts.month, parts.day, parts.hour, parts.minute, parts.second),
              std::make_tuple(2008, 12, 11, 23, 59, 59));
    EXPECT_EQ(makeDate(2008, 12, 11, 12), 39793.5);
    EXPECT_EQ(numberText(makeDate(2008, 12, 11, 12)), "39793.5");
    EXPECT_EQ(makeDate(2008, 13, 1), makeDate(2009, 1, 1));
}

TEST(DateTime, DaysAreCountedAsQDateCountsThem)
{
    // Leap rules of each kind, month ends, the calendar's switch and years far
    // apart; a day that does not exist carries into the next month.
    const QDate zero(1899, 12, 30);
    for (const int year : {1, 4, 100, 1000, 1582, 1600, 1899, 1900, 1999, 2000, 2024, 2100, 9999, -1, -4}) {
        for (const int month : {1, 2, 3, 10, 12}) {
            for (const int day : {1, 15, 28, 29, 30, 31}) {
                const QDate date(year, month, day);
                EXPECT_EQ(isValidDate(year, month, day), date.isValid()) << year << '/' << month << '/' << day;
                if (!date.isValid())
                    continue;
                // The hour counts forward, also before the zero date.
                const auto days = static_cast<double>(zero.daysTo(date));
                EXPECT_EQ(makeDate(year, month, day, 13), days < 0 ? days - 13.0 / 24 : days + 13.0 / 24)
                    << year << '/' << month << '/' << day;
            }
        }
    }
    EXPECT_FALSE(isValidDate(0, 1, 1));
    EXPECT_FALSE(isValidDate(2024, 13, 1));
    EXPECT_EQ(makeDate(2023, 2, 29), makeDate(2023, 3, 1));
}

TEST(DateTime, QDateTimeRoundTrip)
{
    const QDateTime moment(QDate(2026, 12, 7), QTime(10, 30, 15));
    EXPECT_EQ(fromQDateTime(moment), makeDate(2026, 12, 7, 10, 30, 15));
    EXPECT_EQ(toQDateTime(fromQDateTime(moment)), moment);
    EXPECT_NEAR(now(), fromQDateTime(QDateTime::currentDateTime()), 2 * OneSecond);
}

struct FormatRow {
    Date date;
    const char* pattern;
    const char* text;
};

class FormatDate : public testing::TestWithParam<FormatRow> {};

TEST_P(FormatDate, Formats)
{
    EXPECT_EQ(formatDate(GetParam().date, QString::fromLatin1(GetParam().pattern)),
              QString::fromLatin1(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, FormatDate,
    testing::Values(FormatRow{ZeroDate, "mmm, dd yy", "Dec, 30 99"},
                    FormatRow{makeDate(2008, 1, 5), "mmm, dd yy", "Jan, 05 08"},
                    FormatRow{makeDate(2008, 12, 11, 13, 5, 9), "hh:mm:ss", "13:05:09"},
                    FormatRow{makeDate(2008, 12, 11, 13, 5, 9), "h:nn AM/PM", "1:05 PM"},
                    FormatRow{makeDate(2008, 12, 11), "mmmm d, yyyy", "December 11, 2008"},
                    FormatRow{makeDate(2008, 2, 3), "m/d/yy \\at h", "2/3/08 at 0"}));

}  // namespace

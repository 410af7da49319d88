// Date text to date, as the runtime's date conversion reads it under the
// US English locale: month/day/year order for numeric dates, year first when
// the first number has four digits, month names in either position, two-digit
// years 0-29 in the 2000s and 30-99 in the 1900s, a day above 12 with a month
// above 12 swapped, weekday names passed over, and a time of h:mm[:ss] with an
// optional AM/PM.

#include "runtime/DateTime.h"

#include "runtime/Locale.h"
#include "runtime/Numbers.h"
#include "runtime/RuntimeError.h"

#include <QDate>
#include <vector>

namespace runtime {

namespace {

// The runtime's date range: 1 January 100 to 31 December 9999.
constexpr double FirstDate = -657434;
constexpr double LastDate = 2958465;

struct Token {
    enum Kind { Number, Word, Colon, DateSeparator } kind;
    QString text;
};

std::optional<std::vector<Token>> tokenize(const QString& text)
{
    std::vector<Token> tokens;
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text[i];
        qsizetype end = i + 1;
        if (c.isDigit()) {
            while (end < text.size() && text[end].isDigit())
                ++end;
            tokens.push_back({Token::Number, text.mid(i, end - i)});
        } else if (c.isLetter()) {
            while (end < text.size() && text[end].isLetter())
                ++end;
            tokens.push_back({Token::Word, text.mid(i, end - i).toLower()});
        } else if (c == u':') {
            tokens.push_back({Token::Colon, {}});
        } else if (c == u'/' || c == u'-' || c == u'.') {
            tokens.push_back({Token::DateSeparator, {}});
        } else if (c != u' ' && c != u',' && c != u'\t') {
            return std::nullopt;
        }
        i = end;
    }
    return tokens;
}

// A whole name or an abbreviation of at least three letters.
bool namesIt(const QString& word, const QString& name)
{
    return word.size() >= 3 && name.startsWith(word, Qt::CaseInsensitive);
}

int monthFromName(const QString& word)
{
    for (int month = 1; month <= 12; ++month) {
        if (namesIt(word, locale::longMonthName(month)))
            return month;
    }
    return 0;
}

// The weekday of a long date ("Monday, December 7, 2026") adds nothing.
bool isDayName(const QString& word)
{
    for (int weekday = 1; weekday <= 7; ++weekday) {
        if (namesIt(word, locale::longDayName(weekday)))
            return true;
    }
    return false;
}

struct TimeOfDay {
    bool present = false;
    int hour = 0, minute = 0, second = 0;
};

// Takes the time out of the tokens (the numbers joined by colons and an AM/PM
// word); false when the time is malformed.
bool takeTime(std::vector<Token>& tokens, TimeOfDay& time)
{
    std::vector<Token> rest;
    int marker = 0;  // 1 AM, 2 PM
    for (size_t i = 0; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        if (token.kind == Token::Word && (token.text == u"am" || token.text == u"pm" ||
                                          token.text == u"a" || token.text == u"p")) {
            if (marker != 0)
                return false;
            marker = token.text.startsWith(u'a') ? 1 : 2;
            if (!time.present && !rest.empty() && rest.back().kind == Token::Number) {
                time.present = true;  // "1 PM"
                time.hour = rest.back().text.toInt();
                rest.pop_back();
            }
            continue;
        }
        const bool startsTime = token.kind == Token::Number && i + 2 < tokens.size() &&
                                tokens[i + 1].kind == Token::Colon &&
                                tokens[i + 2].kind == Token::Number;
        if (!startsTime) {
            rest.push_back(token);
            continue;
        }
        if (time.present)
            return false;
        time.present = true;
        int fields[3] = {0, 0, 0};
        int count = 0;
        for (;; i += 2) {
            if (count == 3)
                return false;
            fields[count++] = tokens[i].text.toInt();
            const bool more = i + 2 < tokens.size() && tokens[i + 1].kind == Token::Colon &&
                              tokens[i + 2].kind == Token::Number;
            if (!more)
                break;
        }
        if (i + 1 < tokens.size() && tokens[i + 1].kind == Token::Colon)
            return false;
        time.hour = fields[0];
        time.minute = fields[1];
        time.second = fields[2];
    }
    tokens = rest;
    if (!time.present)
        return marker == 0;
    if (marker != 0) {
        if (time.hour < 1 || time.hour > 12)
            return false;
        time.hour = time.hour % 12 + (marker == 2 ? 12 : 0);
    }
    return time.hour < 24 && time.minute < 60 && time.second < 60;
}

int fullYear(const QString& digits)
{
    const int year = digits.toInt();
    if (digits.size() > 2)
        return year;
    return year < 30 ? 2000 + year : 1900 + year;
}

bool looksLikeYear(const QString& digits) { return digits.size() > 2 || digits.toInt() > 31; }

std::optional<qint64> dayNumber(int year, int month, int day)
{
    if (month > 12 && day <= 12)
        std::swap(month, day);
    const QDate date(year, month, day);
    if (!date.isValid() || year < 100 || year > 9999)
        return std::nullopt;
    return date.toJulianDay() - QDate(1899, 12, 30).toJulianDay();
}

// The date from what is left once the time is taken out: numbers and at most
// one month name (separators are dropped).
std::optional<qint64> takeDate(const std::vector<Token>& tokens)
{
    QStringList numbers;
    int month = 0;
    for (const Token& token : tokens) {
        if (token.kind == Token::Number)
            numbers += token.text;
        else if (token.kind == Token::Word && !isDayName(token.text)) {
            if (month != 0 || (month = monthFromName(token.text)) == 0)
                return std::nullopt;
        }
    }
    const auto thisYear = [] { return QDate::currentDate().year(); };
    if (month != 0) {
        if (numbers.size() == 1)
            return looksLikeYear(numbers[0]) ? dayNumber(fullYear(numbers[0]), month, 1)
                                             : dayNumber(thisYear(), month, numbers[0].toInt());
        if (numbers.size() != 2)
            return std::nullopt;
        const bool yearFirst = looksLikeYear(numbers[0]) && !looksLikeYear(numbers[1]);
        const QString& year = yearFirst ? numbers[0] : numbers[1];
        const QString& day = yearFirst ? numbers[1] : numbers[0];
        return dayNumber(fullYear(year), month, day.toInt());
    }
    if (numbers.size() == 3) {
        if (numbers[0].size() > 2)
            return dayNumber(numbers[0].toInt(), numbers[1].toInt(), numbers[2].toInt());
        return dayNumber(fullYear(numbers[2]), numbers[0].toInt(), numbers[1].toInt());
    }
    if (numbers.size() == 2) {
        if (looksLikeYear(numbers[1]))  // "12/2008": month and year
            return dayNumber(fullYear(numbers[1]), numbers[0].toInt(), 1);
        return dayNumber(thisYear(), numbers[0].toInt(), numbers[1].toInt());
    }
    return std::nullopt;
}

}  // namespace

std::optional<Date> parseDate(const QString& text)
{
    std::optional<double> number;
    try {
        number = parseNumber(text);
    } catch (const RuntimeError&) {
        return std::nullopt;  // beyond the double range
    }
    if (number) {  // a number text is the date it counts, within the date range
        if (*number <= FirstDate - 1 || *number >= LastDate + 1)
            return std::nullopt;
        return number;
    }
    std::optional<std::vector<Token>> tokens = tokenize(text);
    if (!tokens || tokens->empty())
        return std::nullopt;
    TimeOfDay time;
    if (!takeTime(*tokens, time))
        return std::nullopt;
    std::optional<qint64> day = 0;
    if (!tokens->empty() || !time.present)
        day = takeDate(*tokens);
    if (!day)
        return std::nullopt;
    return makeDate(1899, 12, 30 + static_cast<int>(*day), time.hour, time.minute, time.second);
}

}  // namespace runtime

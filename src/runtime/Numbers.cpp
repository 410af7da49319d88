#include "runtime/Numbers.h"

#include "runtime/Locale.h"
#include "runtime/RuntimeError.h"

#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace runtime {

namespace {

constexpr int OverflowError = 6;

// A number in the runtime's general text form with the given count of
// significant digits: fixed notation unless the exponent is below -4 or
// reaches the digit count, then "1E+16", "1.5E-05".
template <typename Real>
QString generalText(Real value, int significantDigits)
{
    if (value == 0)
        return QStringLiteral("0");
    char buffer[64];
    const auto result = std::to_chars(std::begin(buffer), std::end(buffer), value,
                                      std::chars_format::general, significantDigits);
    QString text = QString::fromLatin1(buffer, result.ptr - buffer).toUpper();
    text.replace(u'.', locale::DecimalSeparator);
    return text;
}

// The 15 significant decimal digits of |value|: the digits without leading or
// trailing zeros and the place of the decimal point counted from the first digit.
struct Decimal {
    std::string digits;  // empty for zero
    int pointPosition = 0;
};

Decimal toDecimal(double value)
{
    char buffer[64];
    const auto result = std::to_chars(std::begin(buffer), std::end(buffer), std::fabs(value),
                                      std::chars_format::scientific, 14);
    const std::string text(buffer, result.ptr);
    const auto e = text.find('e');
    Decimal decimal;
    decimal.digits = text.substr(0, 1) + text.substr(2, e - 2);
    decimal.pointPosition = std::stoi(text.substr(e + 1)) + 1;
    while (!decimal.digits.empty() && decimal.digits.back() == '0')
        decimal.digits.pop_back();
    return decimal;
}

// Rounds to `decimals` places, halves away from zero, as Format does. Returns
// the integer digits and the fraction digits (exactly `decimals` of them).
std::pair<std::string, std::string> roundedParts(const Decimal& decimal, int decimals)
{
    std::string digits = decimal.digits;
    int point = decimal.pointPosition;
    if (point < 0) {  // leading zeros after the point
        digits.insert(0, static_cast<size_t>(-point), '0');
        point = 0;
    }
    const size_t keep = static_cast<size_t>(point + decimals);
    if (digits.size() > keep) {
        const bool roundUp = digits[keep] >= '5';
        digits.resize(keep);
        if (roundUp) {
            int i = static_cast<int>(keep) - 1;
            for (; i >= 0 && digits[static_cast<size_t>(i)] == '9'; --i)
                digits[static_cast<size_t>(i)] = '0';
            if (i >= 0)
                ++digits[static_cast<size_t>(i)];
            else {
                digits.insert(digits.begin(), '1');
                ++point;
            }
        }
    }
    digits.resize(static_cast<size_t>(point + decimals), '0');
    return {digits.substr(0, static_cast<size_t>(point)),
            digits.substr(static_cast<size_t>(point))};
}

bool isDigitPlaceholder(QChar c) { return c == u'0' || c == u'#'; }

QString groupDigits(const QString& digits)
{
    QString grouped;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += locale::GroupSeparator;
        grouped += digits[i];
    }
    return grouped;
}

bool isBlank(QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; }

// A number too small for a double is 0 (or its nearest tiny value); one too
// large raises 6 (overflow), or gives +/- infinity when `saturate` is set.
// `text` is in the C form: digits, one point, an exponent.
double parseDouble(const std::string& text, bool saturate = false)
{
    static const locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", nullptr);
    errno = 0;
    const double value = strtod_l(text.c_str(), nullptr, cLocale);
    if (errno == ERANGE && std::isinf(value) && !saturate)
        raise(OverflowError);
    return value;
}

// Reads digits from `text` at `pos` into `out`; returns how many were read.
int takeDigits(const QString& text, qsizetype& pos, std::string& out, bool allowGroups = false)
{
    int count = 0;
    for (; pos < text.size(); ++pos) {
        const QChar c = text[pos];
        if (c.isDigit() && c.unicode() < 128) {
            out += static_cast<char>(c.unicode());
            ++count;
        } else if (!(allowGroups && count > 0 && c == locale::GroupSeparator)) {
            break;
        }
    }
    return count;
}

void takeSign(const QString& text, qsizetype& pos, std::string& out)
{
    if (pos < text.size() && (text[pos] == u'-' || text[pos] == u'+')) {
        if (text[pos] == u'-')
            out += '-';  // a plus sign adds nothing
        ++pos;
    }
}

// An optional sign, digits and a fraction after the decimal point, copied to
// `out` in the C form; returns the count of digits.
int takeMantissa(const QString& text, qsizetype& pos, std::string& out, bool allowGroups)
{
    takeSign(text, pos, out);
    int digits = takeDigits(text, pos, out, allowGroups);
    if (pos < text.size() && text[pos] == locale::DecimalSeparator) {
        out += '.';
        ++pos;
        digits += takeDigits(text, pos, out);
    }
    return digits;
}

// An exponent when one of `letters` is at `pos`: true when there is none or it
// is complete; false (with `pos` and `out` unspecified) when its digits are missing.
bool takeExponent(const QString& text, qsizetype& pos, std::string& out, QStringView letters)
{
    if (pos >= text.size() || !letters.contains(text[pos]))
        return true;
    out += 'e';
    ++pos;
    takeSign(text, pos, out);
    return takeDigits(text, pos, out) > 0;
}

}  // namespace

std::int64_t roundHalfEven(double value)
{
    // nearbyint rounds in the default mode, to nearest with ties to even.
    return static_cast<std::int64_t>(std::nearbyint(value));
}

QString numberText(double value)
{
    return generalText(value, 15);
}

QString singleText(float value)
{
    return generalText(value, 7);
}

// Supports digit placeholders "0" (a digit always) and "#" (a digit when
// significant), one decimal point, and group separators between integer
// placeholders; other characters before or after the number part are copied.
// Rounding takes halves away from zero, unlike the whole-number conversions.
QString formatNumber(double value, const QString& pattern)
{
    if (!std::isfinite(value))
        return numberText(value);
    qsizetype first = 0;
    while (first < pattern.size() && !isDigitPlaceholder(pattern[first]) &&
           pattern[first] != u'.')
        ++first;
    qsizetype last = pattern.size();
    while (last > first && !isDigitPlaceholder(pattern[last - 1]) && pattern[last - 1] != u'.')
        --last;
    const QString numberPart = pattern.mid(first, last - first);
    const qsizetype point = numberPart.indexOf(u'.');
    const QString integerPart = point < 0 ? numberPart : numberPart.left(point);
    const QString fractionPart = point < 0 ? QString() : numberPart.mid(point + 1);

    const int decimals = static_cast<int>(fractionPart.count(u'0') + fractionPart.count(u'#'));
    const int minimumDigits = static_cast<int>(integerPart.count(u'0'));
    const bool grouped = integerPart.contains(locale::GroupSeparator);

    auto [integerDigits, fractionDigits] = roundedParts(toDecimal(value), decimals);
    integerDigits.erase(0, integerDigits.find_first_not_of('0'));
    if (integerDigits.size() < static_cast<size_t>(minimumDigits))
        integerDigits.insert(0, static_cast<size_t>(minimumDigits) - integerDigits.size(), '0');
    // Optional fraction places ("#") drop their trailing zeros.
    const auto optional = static_cast<size_t>(fractionPart.count(u'#'));
    size_t fractionLength = fractionDigits.size();
    while (fractionLength > fractionDigits.size() - optional && fractionDigits[fractionLength - 1] == '0')
        --fractionLength;
    fractionDigits.resize(fractionLength);

    const bool isZero = (integerDigits + fractionDigits).find_first_not_of('0') == std::string::npos;
    QString text = pattern.left(first);
    if (value < 0 && !isZero)
        text += u'-';
    const QString integerText = QString::fromStdString(integerDigits);
    text += grouped ? groupDigits(integerText) : integerText;
    if (point >= 0)
        text += locale::DecimalSeparator + QString::fromStdString(fractionDigits);
    return text + pattern.mid(last);
}

double val(const QString& text)
{
    QString compact;
    for (const QChar c : text) {
        if (!isBlank(c))
            compact += c;
    }
    qsizetype pos = 0;
    std::string number;
    if (takeMantissa(compact, pos, number, false) == 0)
        return 0;
    std::string exponent;
    if (takeExponent(compact, pos, exponent, u"EeDd"))
        number += exponent;  // an exponent letter without digits is no exponent
    return parseDouble(number, true);
}

std::optional<double> parseNumber(const QString& text)
{
    const QString trimmed = text.trimmed();
    qsizetype pos = 0;
    std::string number;
    if (takeMantissa(trimmed, pos, number, true) == 0 ||
        !takeExponent(trimmed, pos, number, u"Ee") || pos != trimmed.size())
        return std::nullopt;
    return parseDouble(number);
}

double cdbl(const QString& text)
{
    const std::optional<double> number = parseNumber(text);
    if (!number)
        raise(err::TypeMismatch);
    return *number;
}

float csng(const QString& text)
{
    const double value = cdbl(text);
    if (std::fabs(value) > std::numeric_limits<float>::max())
        raise(OverflowError);
    return static_cast<float>(value);
}

std::int32_t clng(const QString& text)
{
    const double rounded = std::nearbyint(cdbl(text));
    if (rounded < std::numeric_limits<std::int32_t>::min() ||
        rounded > std::numeric_limits<std::int32_t>::max())
        raise(OverflowError);
    return static_cast<std::int32_t>(rounded);
}

bool cbool(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.compare(u"True", Qt::CaseInsensitive) == 0)
        return true;
    if (trimmed.compare(u"False", Qt::CaseInsensitive) == 0)
        return false;
    return cdbl(trimmed) != 0;
}

QString boolText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

}  // namespace runtime

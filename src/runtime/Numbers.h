#pragma once
// Numbers as the classic runtime converts, rounds, formats and parses them.

#include <QString>
#include <cstdint>
#include <optional>

namespace runtime {

// Whole-number conversion: halves go to the even neighbour (2.5 -> 2, 3.5 -> 4).
std::int64_t roundHalfEven(double value);

// A number as the runtime's number text: at most 15 significant digits, no
// group separators, the locale's decimal point only with a fraction
// ("39793.5", "-12", "1E+16").
QString numberText(double value);
// A single-precision value as its text: at most 7 significant digits ("1234.5").
QString singleText(float value);

// Format patterns the program uses: "000", "##0.00", "###,###,###,##0".
QString formatNumber(double value, const QString& pattern);

// The leading number of a text, blanks ignored anywhere; 0 when none ("70.5" -> 70.5,
// "7 0" -> 70, "abc" -> 0, "12abc" -> 12). Never raises: a number beyond the
// double range gives +/- infinity, one too small for it 0.
double val(const QString& text);

// Strict conversions: raise error 13 when the text is not a number
// (blanks at the ends and group separators allowed, as the locale reads them).
double cdbl(const QString& text);
// The number under cdbl's rules, nullopt when the text is none.
std::optional<double> parseNumber(const QString& text);
float csng(const QString& text);
// Raises 6 (overflow) outside the signed 32-bit range, 13 when no number.
std::int32_t clng(const QString& text);
// "True", "False" (any case) or a number, nonzero meaning True; else error 13.
bool cbool(const QString& text);
// "True" or "False".
QString boolText(bool value);

}  // namespace runtime

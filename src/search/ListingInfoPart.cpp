#include "search/ListingInfoPart.h"

#include "runtime/AnsiText.h"
#include "runtime/Numbers.h"
#include "runtime/RuntimeError.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

// The search reads size and date for every hit, so the forms the folder walk
// writes are read here directly; any other text goes through the runtime's
// own conversions, which give the same values for these forms.

namespace {

constexpr std::size_t SizeColumns = 13;
constexpr std::size_t DateOffset = 20;

QString textOf(std::string_view bytes)
{
    return runtime::fromAnsi(QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }
// The digit's value, or 10 and more for any other byte: one comparison tells.
unsigned digitOf(char c) { return static_cast<unsigned char>(c) - unsigned{'0'}; }
bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The reads below are made in place, each for its own field: every hit's
// date passes through them.

// Reads the digits at `at` into `value`: between `fewest` and `most` of them.
[[gnu::always_inline]] inline bool takeNumber(std::string_view text, std::size_t& at, std::size_t fewest, std::size_t most, int& value)
{
    const std::size_t start = at;
    const std::size_t last = std::min(text.size(), start + most);
    value = 0;
    for (unsigned digit = 0; at < last && (digit = digitOf(text[at])) < 10; ++at)
        value = value * 10 + static_cast<int>(digit);
    return at - start >= fewest;
}

// Compares byte by byte: these texts are a few bytes long, shorter than a
// call of memcmp.
[[gnu::always_inline]] inline bool take(std::string_view text, std::size_t& at, std::string_view expected)
{
    if (text.size() - at < expected.size())
        return false;
    for (std::size_t index = 0; index < expected.size(); ++index) {
        if (text[at + index] != expected[index])
            return false;
    }
    at += expected.size();
    return true;
}

// "  1,234,567": digits and group separators between blanks.
std::optional<std::int64_t> plainSize(std::string_view field)
{
    std::size_t at = 0;
    while (at < field.size() && isBlank(field[at]))
        ++at;
    if (at == field.size() || !isDigit(field[at]))
        return std::nullopt;
    std::int64_t value = 0;
    for (; at < field.size(); ++at) {
        if (const unsigned digit = digitOf(field[at]); digit < 10)
            value = value * 10 + digit;
        else if (field[at] != ',')
            break;
    }
    while (at < field.size() && isBlank(field[at]))
        ++at;
    return at == field.size() ? std::optional(value) : std::nullopt;
}

std::int64_t convertedSize(std::string_view field)
{
    if (const std::optional<std::int64_t> plain = plainSize(field))
        return *plain;
    try {
        const double value = std::nearbyint(runtime::cdbl(textOf(field)));
        if (std::fabs(value) < static_cast<double>(std::numeric_limits<std::int64_t>::max()))
            return static_cast<std::int64_t>(value);
    } catch (const runtime::RuntimeError&) {
    }
    return 0;
}

// General date text: "12/11/2008" or "12/11/2008 10:30:00 AM".
std::optional<runtime::Date> plainDate(std::string_view text)
{
    std::size_t at = 0;
    int month = 0, day = 0, year = 0, hour = 12, minute = 0, second = 0;
    if (!takeNumber(text, at, 1, 2, month) || !take(text, at, "/") || !takeNumber(text, at, 1, 2, day) ||
        !take(text, at, "/") || at >= text.size() || text[at] == '0' || !takeNumber(text, at, 4, 4, year) ||
        !runtime::isValidDate(year, month, day))
        return std::nullopt;
    bool afternoon = false;
    if (at < text.size()) {
        if (!take(text, at, " ") || !takeNumber(text, at, 1, 2, hour) || !take(text, at, ":") ||
            !takeNumber(text, at, 2, 2, minute) || !take(text, at, ":") || !takeNumber(text, at, 2, 2, second))
            return std::nullopt;
        afternoon = take(text, at, " PM");
        if ((!afternoon && !take(text, at, " AM")) || at != text.size() || hour < 1 || hour > 12 ||
            minute > 59 || second > 59)
            return std::nullopt;
    }
    return runtime::makeDate(year, month, day, hour % 12 + (afternoon ? 12 : 0), minute, second);
}

runtime::Date convertedDate(std::string_view text)
{
    if (const std::optional<runtime::Date> plain = plainDate(text))
        return *plain;
    return runtime::parseDate(textOf(text)).value_or(runtime::ZeroDate);
}

}  // namespace

ListingSizeAndDate readSizeAndDate(std::string_view info)
{
    return {convertedSize(info.substr(0, SizeColumns)),
            convertedDate(info.substr(std::min(DateOffset, info.size())))};
}

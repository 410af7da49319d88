#include "search/Utf8Search.h"

#include <QString>
#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

bool isAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char byte) { return static_cast<unsigned char>(byte) < 0x80; });
}

}  // namespace

// A byte that begins no character (a stray continuation byte) counts as one
// unit, as the decoder's replacement for it does. ASCII, a byte a unit, is
// passed over eight bytes at a time.
std::size_t utf8Prefix(std::string_view text, std::size_t units)
{
    std::size_t at = 0;
    for (const std::size_t asciiEnd = std::min(units, text.size()); at + 8 <= asciiEnd; at += 8) {
        std::uint64_t bytes = 0;
        std::memcpy(&bytes, text.data() + at, sizeof bytes);
        if (bytes & 0x8080808080808080u)
            break;
    }
    units -= at;
    while (at < text.size()) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        const std::size_t width = length == 4 ? 2 : 1;
        if (width > units)
            break;
        units -= width;
        at = std::min(at + length, text.size());
    }
    return at;
}

std::string_view Utf8LowerCase::lower(std::string_view text, std::string& into) const
{
    if (isAscii(text))
        return ascii_.lower(text, into);
    const QByteArray lowered =
        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toLower().toUtf8();
    into.assign(lowered.constData(), static_cast<std::size_t>(lowered.size()));
    into.resize(into.size() + WordSearchPadding);
    return std::string_view(into.data(), static_cast<std::size_t>(lowered.size()));
}

bool Utf8LowerCase::contains(std::string_view text, std::string_view lowerWord)
{
    if (isAscii(text))
        return ascii_.contains(text, lowerWord);
    return containsWord(lower(text, lowered_), lowerWord);
}

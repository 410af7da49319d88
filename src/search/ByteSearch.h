#pragma once
// Byte-level text work for the listing search, which runs over the raw
// Windows-1252 bytes of a listing: lower-casing by the code page, and a test
// for a word in a text. Both use SSE2 where the machine has it.

#include <array>
#include <cstddef>
#include <string_view>

// Lower-cases bytes as runtime::ansiLower does.
class AnsiLowerCase {
public:
    AnsiLowerCase();
    // Writes text.size() bytes to out.
    void apply(std::string_view text, char* out) const;

private:
    std::array<char, 256> table_{};
    bool asciiByRange_ = true;  // the table lower-cases ASCII as A-Z to a-z, nothing else
};

// The readable bytes that containsWord needs after the text's last byte.
inline constexpr std::size_t WordSearchPadding = 16;

// Whether `word` occurs in `text` (exact bytes); the text's storage must hold
// WordSearchPadding more bytes after it, whatever their values.
bool containsWord(std::string_view text, std::string_view word);

// The text's length without the blanks at its end.
std::size_t lengthWithoutTrailingBlanks(std::string_view text);

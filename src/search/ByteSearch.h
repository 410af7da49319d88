#pragma once
// Byte-level text work for the listing search, which runs over the raw
// Windows-1252 bytes of a listing: lower-casing by the code page, a test for
// a word in a text, and the words a chunk scan looks out for. The first two
// use SSE2 where the machine has it.

#include "search/ChunkScan.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The readable bytes that the word tests need after the text's last byte.
inline constexpr std::size_t WordSearchPadding = 16;

// Lower-cases bytes as runtime::ansiLower does.
class AnsiLowerCase {
public:
    AnsiLowerCase();
    // Writes text.size() bytes to out.
    void apply(std::string_view text, char* out) const;
    // The text lower-cased into `into`, which keeps WordSearchPadding more
    // bytes after it.
    std::string_view lower(std::string_view text, std::string& into) const;
    // Whether `lowerWord` occurs in the text once lower-cased; the text's
    // storage must hold WordSearchPadding more bytes after it. Compares on the
    // fly, without writing the lower-cased text, where the code page allows.
    bool contains(std::string_view text, std::string_view lowerWord);

private:
    std::array<char, 256> table_{};
    // The table lower-cases ASCII as A-Z to a-z and nothing else, and keeps
    // every other byte outside ASCII.
    bool asciiByRange_ = true;
    std::string lowered_;  // the text lower-cased, where comparing on the fly cannot be done

    friend class WordStarts;
};

// A few lower-cased words to look out for in any letter case, for the chunk
// scan: each is seen where its two rarest bytes both agree, so every place a
// word occurs is seen, and few other places are.
class WordStarts {
public:
    static constexpr std::size_t MostWords = 3;
    static constexpr std::size_t LongestWord = 64;

    // False when the words cannot be watched this way: too many, one empty or
    // too long, or one with no byte in ASCII (or a code page that lower-cases
    // beyond A-Z). No words: no place.
    bool watch(const std::vector<std::string_view>& lowerWords, const AnsiLowerCase& lowerCase);
    // The same for UTF-8 text lower-cased character by character
    // (Utf8LowerCase): false also when a word has no ASCII byte to watch.
    bool watchUtf8(const std::vector<std::string_view>& lowerWords);
    const std::vector<WatchedWord>& words() const { return words_; }
    // The longest word watched: how far past a place the test reads.
    std::size_t longest() const { return longest_; }

private:
    std::vector<WatchedWord> words_;
    std::size_t longest_ = 0;
};

// Whether `word` occurs in `text` (exact bytes); the text's storage must hold
// WordSearchPadding more bytes after it, whatever their values.
bool containsWord(std::string_view text, std::string_view word);

// The text's length without the blanks at its end.
std::size_t lengthWithoutTrailingBlanks(std::string_view text);

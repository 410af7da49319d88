#include "search/ByteSearch.h"

#include "runtime/AnsiText.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

#if defined(__SSE2__)
__m128i load16(const char* bytes)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
}

// A-Z to a-z; every other byte stays.
__m128i lowerAscii(__m128i bytes)
{
    const __m128i upper =
        _mm_and_si128(_mm_cmpgt_epi8(bytes, _mm_set1_epi8('A' - 1)), _mm_cmplt_epi8(bytes, _mm_set1_epi8('Z' + 1)));
    return _mm_or_si128(bytes, _mm_and_si128(upper, _mm_set1_epi8(0x20)));
}
#endif

// How common a byte of a lower-cased word is in listing text, from the rarest:
// the letters by how often English names hold them, the dots, hyphens and
// underscores of names, the blanks, digits, commas, slashes and colons of
// every info part. Bytes not named here are rarer than all of these (0).
constexpr std::string_view CommonLast = "zqjx_-.kvwyfbgmpuhdclsntrioae:/,9876543210 ";

constexpr std::array<std::uint8_t, 256> Commonness = [] {
    std::array<std::uint8_t, 256> table{};
    for (std::size_t place = 0; place < CommonLast.size(); ++place)
        table[static_cast<unsigned char>(CommonLast[place])] = static_cast<std::uint8_t>(place + 1);
    return table;
}();

// An ASCII byte of a lower-cased word at `offset`; any letter case matches
// it, and nothing else does once the code page lower-cases A-Z alone.
WatchedByte watchedByte(std::string_view word, std::size_t offset)
{
    const char byte = word[offset];
    return {offset, byte, byte >= 'a' && byte <= 'z' ? static_cast<char>(byte - 0x20) : byte};
}

}  // namespace

AnsiLowerCase::AnsiLowerCase()
{
    for (int byte = 0; byte < 256; ++byte) {
        table_[byte] = static_cast<char>(runtime::ansiLower(static_cast<unsigned char>(byte)));
        const auto lower = static_cast<unsigned char>(table_[byte]);
        if (byte < 0x80 ? lower != (byte >= 'A' && byte <= 'Z' ? byte + 0x20 : byte) : lower < 0x80)
            asciiByRange_ = false;
    }
}

void AnsiLowerCase::apply(std::string_view text, char* out) const
{
    auto byTable = [this](const char* from, const char* to, char* into) {
        std::transform(from, to, into, [this](char byte) { return table_[static_cast<unsigned char>(byte)]; });
    };
#if defined(__SSE2__)
    if (asciiByRange_ && text.size() >= 16) {
        // Sixteen bytes at a time; the last sixteen may overlap the ones before,
        // which gives the same bytes again.
        for (std::size_t at = 0;; at = std::min(at + 16, text.size() - 16)) {
            const __m128i bytes = load16(text.data() + at);
            if (_mm_movemask_epi8(bytes) != 0) {  // not plain ASCII
                byTable(text.data() + at, text.data() + at + 16, out + at);
            } else {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out + at), lowerAscii(bytes));
            }
            if (at + 16 == text.size())
                return;
        }
    }
#endif
    byTable(text.data(), text.data() + text.size(), out);
}

std::string_view AnsiLowerCase::lower(std::string_view text, std::string& into) const
{
    if (into.size() < text.size() + WordSearchPadding)
        into.resize(text.size() + WordSearchPadding);
    apply(text, into.data());
    return std::string_view(into.data(), text.size());
}

// As containsWord, with each sixteen bytes lower-cased as they are loaded:
// when the word begins and ends in ASCII, a byte outside ASCII can match
// neither end, and the bytes between are compared through the table.
bool AnsiLowerCase::contains(std::string_view text, std::string_view lowerWord)
{
    const auto isAscii = [](char byte) { return static_cast<unsigned char>(byte) < 0x80; };
#if defined(__SSE2__)
    if (asciiByRange_ && !lowerWord.empty() && isAscii(lowerWord.front()) && isAscii(lowerWord.back())) {
        if (lowerWord.size() > text.size())
            return false;
        const std::size_t lastStart = text.size() - lowerWord.size();
        const __m128i first = _mm_set1_epi8(lowerWord.front());
        const __m128i last = _mm_set1_epi8(lowerWord.back());
        for (std::size_t at = 0; at <= lastStart; at += 16) {
            const __m128i candidates =
                _mm_and_si128(_mm_cmpeq_epi8(lowerAscii(load16(text.data() + at)), first),
                              _mm_cmpeq_epi8(lowerAscii(load16(text.data() + at + lowerWord.size() - 1)), last));
            for (auto mask = static_cast<unsigned>(_mm_movemask_epi8(candidates)); mask != 0; mask &= mask - 1) {
                const std::size_t start = at + static_cast<std::size_t>(__builtin_ctz(mask));
                if (start > lastStart)
                    return false;
                if (lowerWord.size() < 3 ||
                    std::equal(lowerWord.begin() + 1, lowerWord.end() - 1, text.begin() + start + 1,
                               [this](char wordByte, char textByte) {
                                   return table_[static_cast<unsigned char>(textByte)] == wordByte;
                               }))
                    return true;
            }
        }
        return false;
    }
#endif
    return containsWord(lower(text, lowered_), lowerWord);
}

// Sixteen start positions at a time are tested on the word's first and last
// byte; only where both agree are the bytes between compared.
bool containsWord(std::string_view text, std::string_view word)
{
    if (word.empty())
        return true;
    if (word.size() > text.size())
        return false;
#if defined(__SSE2__)
    const std::size_t lastStart = text.size() - word.size();
    const __m128i first = _mm_set1_epi8(word.front());
    const __m128i last = _mm_set1_epi8(word.back());
    for (std::size_t at = 0; at <= lastStart; at += 16) {
        const __m128i candidates = _mm_and_si128(_mm_cmpeq_epi8(load16(text.data() + at), first),
                                                 _mm_cmpeq_epi8(load16(text.data() + at + word.size() - 1), last));
        for (auto mask = static_cast<unsigned>(_mm_movemask_epi8(candidates)); mask != 0; mask &= mask - 1) {
            const std::size_t start = at + static_cast<std::size_t>(__builtin_ctz(mask));
            if (start > lastStart)
                return false;
            if (std::memcmp(text.data() + start + 1, word.data() + 1, word.size() - 1) == 0)
                return true;
        }
    }
    return false;
#else
    return text.find(word) != std::string_view::npos;
#endif
}

namespace {

// The word's two rarest bytes in ASCII among offsets `from` to `to` (the one
// twice when there is one), the first of equals first; nothing when none is
// in ASCII.
std::optional<WatchedWord> rarestPair(std::string_view word, std::size_t from, std::size_t to)
{
    std::size_t rarest = to;
    std::size_t next = to;
    const auto rarer = [word, to](std::size_t offset, std::size_t than) {
        return than == to ||
            Commonness[static_cast<unsigned char>(word[offset])] < Commonness[static_cast<unsigned char>(word[than])];
    };
    for (std::size_t offset = from; offset < to; ++offset) {
        if (static_cast<unsigned char>(word[offset]) >= 0x80)
            continue;
        if (rarer(offset, rarest)) {
            next = rarest;
            rarest = offset;
        } else if (rarer(offset, next)) {
            next = offset;
        }
    }
    if (rarest == to)
        return std::nullopt;
    if (next == to)
        next = rarest;
    return WatchedWord{watchedByte(word, rarest), watchedByte(word, next)};
}

// Orders pairs by how rare their bytes are, the rarest byte first.
std::pair<std::uint8_t, std::uint8_t> commonness(const WatchedWord& word)
{
    return {Commonness[static_cast<unsigned char>(word.rarest.lower)],
            Commonness[static_cast<unsigned char>(word.next.lower)]};
}

}  // namespace

bool WordStarts::watch(const std::vector<std::string_view>& lowerWords, const AnsiLowerCase& lowerCase)
{
    words_.clear();
    longest_ = 0;
    if (lowerWords.size() > MostWords || (!lowerWords.empty() && !lowerCase.asciiByRange_))
        return false;
    for (const std::string_view word : lowerWords) {
        if (word.empty() || word.size() > LongestWord)
            return false;
        const std::optional<WatchedWord> pair = rarestPair(word, 0, word.size());
        if (!pair)
            return false;
        words_.push_back(*pair);
        longest_ = std::max(longest_, word.size());
    }
    return true;
}

// A character of UTF-8 text may lower-case to a different length, so the two
// bytes are taken from one run of the word's ASCII bytes, which text in any
// case holds the same distance apart, and counted from the first of them. Two
// characters outside ASCII lower-case into it (KELVIN SIGN to "k", capital I
// with a dot to "i" and a combining dot), so "i" and "k" end runs too.
bool WordStarts::watchUtf8(const std::vector<std::string_view>& lowerWords)
{
    words_.clear();
    longest_ = 0;
    if (lowerWords.size() > MostWords)
        return false;
    const auto inRun = [](char byte) { return static_cast<unsigned char>(byte) < 0x80 && byte != 'i' && byte != 'k'; };
    for (const std::string_view word : lowerWords) {
        if (word.empty() || word.size() > LongestWord)
            return false;
        std::optional<WatchedWord> best;
        for (std::size_t from = 0; from < word.size();) {
            std::size_t to = from;
            while (to < word.size() && inRun(word[to]))
                ++to;
            const std::optional<WatchedWord> pair = rarestPair(word, from, to);
            if (pair && (!best || commonness(*pair) < commonness(*best)))
                best = pair;
            from = to + 1;
        }
        if (!best)
            return false;
        const std::size_t first = std::min(best->rarest.offset, best->next.offset);
        best->rarest.offset -= first;
        best->next.offset -= first;
        words_.push_back(*best);
        longest_ = std::max(longest_, word.size() - first);
    }
    return true;
}

std::size_t lengthWithoutTrailingBlanks(std::string_view text)
{
    std::size_t length = text.size();
#if defined(__SSE2__)
    for (; length >= 16; length -= 16) {
        const __m128i blanks = _mm_cmpeq_epi8(load16(text.data() + length - 16), _mm_set1_epi8(' '));
        if (const auto others = ~static_cast<unsigned>(_mm_movemask_epi8(blanks)) & 0xFFFF)
            return length - 16 + 32 - static_cast<std::size_t>(__builtin_clz(others));
    }
#endif
    while (length > 0 && text[length - 1] == ' ')
        --length;
    return length;
}

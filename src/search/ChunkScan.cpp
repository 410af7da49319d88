#include "search/ChunkScan.h"

#include <algorithm>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace {

bool isByte(char byte, const WatchedByte& watched) { return byte == watched.lower || byte == watched.capital; }

bool startsWord(const char* at, const WatchedWord& word)
{
    return isByte(at[word.rarest.offset], word.rarest) && isByte(at[word.next.offset], word.next);
}

bool isMark(const char* at)
{
    switch (*at) {
    case ':': return at[-1] == 'e' || at[-1] == 'y';
    case '<': return at[1] == 'D';
    case '-': return at[1] == '-';
    default: return false;
    }
}

ChunkMasks scanBytes(const char* at, const WatchedWord* words, std::size_t wordCount)
{
    ChunkMasks masks;
    for (int place = 0; place < 64; ++place) {
        const std::uint64_t bit = std::uint64_t{1} << place;
        if (at[place] == '\n' || at[place] == '\r')
            masks.lineEnds |= bit;
        if (isMark(at + place))
            masks.marks |= bit;
        for (std::size_t word = 0; word < wordCount; ++word) {
            if (startsWord(at + place, words[word]))
                masks.wordStarts |= bit;
        }
    }
    return masks;
}

// The bits for the chunk's bytes before `position` (counted from its start).
std::uint64_t bitsBelow(std::ptrdiff_t position)
{
    return position <= 0 ? std::uint64_t{0} : position >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << position) - 1;
}

int highestPlace(std::uint64_t bits) { return 63 - __builtin_clzll(bits); }

// The pass over plain lines with one scan, made for each scan so that the
// scan's vectors stay in registers from chunk to chunk.
template <ChunkMasks (*Scan)(const char*, const WatchedWord*, std::size_t)>
[[gnu::always_inline]] inline PassedLines passWith(const char* at, const char* end, const WatchedWord* words,
                                                   std::size_t wordCount, std::int32_t most, std::size_t longLine)
{
    // Every byte a chunk's tests read, the one after a CR included, is in hand.
    std::size_t reach = 65;
    for (std::size_t index = 0; index < wordCount; ++index)
        reach = std::max({reach, 64 + words[index].rarest.offset, 64 + words[index].next.offset});
    PassedLines passed;
    const char* lineStart = at;
    std::uint64_t lineEndBefore = 1;  // `at` follows a line end
    for (; passed.entries < most && static_cast<std::size_t>(end - at) >= reach; at += 64) {
        const ChunkMasks masks = Scan(at, words, wordCount);
        const std::uint64_t fromLineStart = ~bitsBelow(lineStart - at);
        // A word begins in a line, never at its end.
        const std::uint64_t blockers = (masks.marks | (masks.wordStarts & ~masks.lineEnds)) & fromLineStart;
        std::uint64_t ends = masks.lineEnds & fromLineStart;
        if (blockers != 0)
            ends &= bitsBelow(__builtin_ctzll(blockers));
        // A line end after a byte that ends no line ends an entry; the others
        // end empty lines or are the LF of a CR LF.
        std::uint64_t entryEnds = ends & ~(masks.lineEnds << 1 | lineEndBefore);
        lineEndBefore = masks.lineEnds >> 63;
        const bool full = passed.entries + __builtin_popcountll(entryEnds) >= most;
        while (passed.entries + __builtin_popcountll(entryEnds) > most)
            entryEnds &= ~(std::uint64_t{1} << highestPlace(entryEnds));
        passed.entries += __builtin_popcountll(entryEnds);
        if (full)
            ends &= bitsBelow(highestPlace(entryEnds) + 1);
        for (std::uint64_t left = entryEnds; left != 0; left &= ~(std::uint64_t{1} << highestPlace(left))) {
            const int place = highestPlace(left);
            const std::uint64_t endsBefore = ends & bitsBelow(place);
            const char* const start = endsBefore != 0 ? at + highestPlace(endsBefore) + 1 : lineStart;
            if (static_cast<std::size_t>(at + place - start) > longLine) {
                passed.longLine = start;
                passed.longLineLength = static_cast<std::size_t>(at + place - start);
                break;
            }
        }
        if (ends != 0) {
            lineStart = at + highestPlace(ends) + 1;
            if (lineStart[-1] == '\r' && lineStart[0] == '\n')
                ++lineStart;
        }
        if (blockers != 0 || full)
            break;
    }
    passed.next = lineStart;
    return passed;
}

#if defined(__SSE2__)
ChunkMasks scanSse2(const char* at, const WatchedWord* words, std::size_t wordCount)
{
    const auto load = [](const char* bytes) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes)); };
    const auto bits = [](__m128i set) { return std::uint64_t{static_cast<unsigned>(_mm_movemask_epi8(set))}; };
    const auto equal = [](__m128i bytes, char byte) { return _mm_cmpeq_epi8(bytes, _mm_set1_epi8(byte)); };
    const auto either = [&](__m128i bytes, const WatchedByte& watched) {
        return _mm_or_si128(equal(bytes, watched.lower), equal(bytes, watched.capital));
    };
    ChunkMasks masks;
    for (int part = 0; part < 64; part += 16) {
        const char* const from = at + part;
        const __m128i bytes = load(from);
        const __m128i before = load(from - 1);
        const __m128i after = load(from + 1);
        masks.lineEnds |= bits(_mm_or_si128(equal(bytes, '\n'), equal(bytes, '\r'))) << part;
        const __m128i colons =
            _mm_and_si128(equal(bytes, ':'), _mm_or_si128(equal(before, 'e'), equal(before, 'y')));
        const __m128i subFolders = _mm_and_si128(equal(bytes, '<'), equal(after, 'D'));
        const __m128i rules = _mm_and_si128(equal(bytes, '-'), equal(after, '-'));
        masks.marks |= bits(_mm_or_si128(colons, _mm_or_si128(subFolders, rules))) << part;
        __m128i starts = _mm_setzero_si128();
        for (std::size_t index = 0; index < wordCount; ++index) {
            const WatchedWord& word = words[index];
            starts = _mm_or_si128(starts, _mm_and_si128(either(load(from + word.rarest.offset), word.rarest),
                                                        either(load(from + word.next.offset), word.next)));
        }
        masks.wordStarts |= bits(starts) << part;
    }
    return masks;
}
#endif

#if defined(__x86_64__) && defined(__GNUC__)
#define BRISCA_AVX2 __attribute__((target("avx2,popcnt")))

BRISCA_AVX2 std::uint64_t bitsAvx2(__m256i set)
{
    return std::uint64_t{static_cast<std::uint32_t>(_mm256_movemask_epi8(set))};
}

BRISCA_AVX2 __m256i loadAvx2(const char* bytes) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes)); }

BRISCA_AVX2 __m256i equalAvx2(__m256i bytes, char byte) { return _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(byte)); }

BRISCA_AVX2 __m256i eitherAvx2(const char* at, const WatchedByte& watched)
{
    const __m256i bytes = loadAvx2(at + watched.offset);
    return _mm256_or_si256(equalAvx2(bytes, watched.lower), equalAvx2(bytes, watched.capital));
}

BRISCA_AVX2 ChunkMasks scanAvx2(const char* at, const WatchedWord* words, std::size_t wordCount)
{
    ChunkMasks masks;
    for (int part = 0; part < 64; part += 32) {
        const char* const from = at + part;
        const __m256i bytes = loadAvx2(from);
        const __m256i before = loadAvx2(from - 1);
        const __m256i after = loadAvx2(from + 1);
        masks.lineEnds |= bitsAvx2(_mm256_or_si256(equalAvx2(bytes, '\n'), equalAvx2(bytes, '\r'))) << part;
        const __m256i colons = _mm256_and_si256(equalAvx2(bytes, ':'),
                                                _mm256_or_si256(equalAvx2(before, 'e'), equalAvx2(before, 'y')));
        const __m256i subFolders = _mm256_and_si256(equalAvx2(bytes, '<'), equalAvx2(after, 'D'));
        const __m256i rules = _mm256_and_si256(equalAvx2(bytes, '-'), equalAvx2(after, '-'));
        masks.marks |= bitsAvx2(_mm256_or_si256(colons, _mm256_or_si256(subFolders, rules))) << part;
        __m256i starts = _mm256_setzero_si256();
        for (std::size_t index = 0; index < wordCount; ++index) {
            const WatchedWord& word = words[index];
            starts = _mm256_or_si256(starts,
                                     _mm256_and_si256(eitherAvx2(from, word.rarest), eitherAvx2(from, word.next)));
        }
        masks.wordStarts |= bitsAvx2(starts) << part;
    }
    return masks;
}

#define BRISCA_AVX512 __attribute__((target("avx512bw,popcnt")))

BRISCA_AVX512 std::uint64_t equalAvx512(const char* at, char byte)
{
    return _mm512_cmpeq_epi8_mask(_mm512_loadu_si512(at), _mm512_set1_epi8(byte));
}

BRISCA_AVX512 std::uint64_t eitherAvx512(const char* at, const WatchedByte& watched)
{
    const __m512i bytes = _mm512_loadu_si512(at + watched.offset);
    return _mm512_cmpeq_epi8_mask(bytes, _mm512_set1_epi8(watched.lower)) |
        _mm512_cmpeq_epi8_mask(bytes, _mm512_set1_epi8(watched.capital));
}

// Sixty-four bytes in one vector, each comparison giving its mask at once.
BRISCA_AVX512 ChunkMasks scanAvx512(const char* at, const WatchedWord* words, std::size_t wordCount)
{
    ChunkMasks masks;
    masks.lineEnds = equalAvx512(at, '\n') | equalAvx512(at, '\r');
    masks.marks = (equalAvx512(at, ':') & (equalAvx512(at - 1, 'e') | equalAvx512(at - 1, 'y'))) |
        (equalAvx512(at, '<') & equalAvx512(at + 1, 'D')) | (equalAvx512(at, '-') & equalAvx512(at + 1, '-'));
    for (std::size_t index = 0; index < wordCount; ++index)
        masks.wordStarts |= eitherAvx512(at, words[index].rarest) & eitherAvx512(at, words[index].next);
    return masks;
}

[[gnu::flatten]] BRISCA_AVX2 PassedLines passAvx2(const char* at, const char* end, const WatchedWord* words, std::size_t wordCount,
                                 std::int32_t most, std::size_t longLine)
{
    return passWith<scanAvx2>(at, end, words, wordCount, most, longLine);
}

[[gnu::flatten]] BRISCA_AVX512 PassedLines passAvx512(const char* at, const char* end, const WatchedWord* words,
                                     std::size_t wordCount, std::int32_t most, std::size_t longLine)
{
    return passWith<scanAvx512>(at, end, words, wordCount, most, longLine);
}
#endif

using LinePass = PassedLines (*)(const char*, const char*, const WatchedWord*, std::size_t, std::int32_t, std::size_t);

LinePass fastestPass()
{
#if defined(__x86_64__) && defined(__GNUC__)
    if (__builtin_cpu_supports("avx512bw"))
        return passAvx512;
    if (__builtin_cpu_supports("avx2"))
        return passAvx2;
#endif
#if defined(__SSE2__)
    return passWith<scanSse2>;
#else
    return passWith<scanBytes>;
#endif
}

}  // namespace

ChunkScan chunkScanNumber(std::size_t number)
{
    switch (number) {
    case 0: return scanBytes;
#if defined(__SSE2__)
    case 1: return scanSse2;
#endif
#if defined(__x86_64__) && defined(__GNUC__)
    case 2: return __builtin_cpu_supports("avx2") ? scanAvx2 : nullptr;
    case 3: return __builtin_cpu_supports("avx512bw") ? scanAvx512 : nullptr;
#endif
    default: return nullptr;
    }
}

PassedLines passPlainLines(const char* at, const char* end, const WatchedWord* words, std::size_t wordCount,
                           std::int32_t most, std::size_t longLine)
{
    static const LinePass pass = fastestPass();
    return pass(at, end, words, wordCount, most, longLine);
}

#include "search/ChunkScan.h"

#include <algorithm>
#include <array>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace {

bool isByte(char byte, const WatchedByte& watched) { return byte == watched.lower || byte == watched.capital; }

// Each scan is made for a number of words known when it is compiled, once
// for a pass, so that what it compares with stays in registers from chunk to
// chunk; masks(at) gives the masks of the chunk at `at`.

template <std::size_t Words>
class ByteScan {
public:
    explicit ByteScan(const WatchedWord* words) : words_(words) {}

    ChunkMasks masks(const char* at) const
    {
        ChunkMasks masks;
        for (int place = 0; place < 64; ++place) {
            const std::uint64_t bit = std::uint64_t{1} << place;
            if (at[place] == '\n' || at[place] == '\r')
                masks.lineEnds |= bit;
            if (mayBeMark(at + place))
                masks.marks |= bit;
            for (std::size_t word = 0; word < Words; ++word) {
                const WatchedWord& watched = words_[word];
                if (isByte(at[place + watched.rarest.offset], watched.rarest) &&
                    isByte(at[place + watched.next.offset], watched.next))
                    masks.wordStarts |= bit;
            }
        }
        return masks;
    }

private:
    const WatchedWord* words_;
};

// A watched byte as one comparison: the byte with `fold` set equals `value`.
// A byte in its two letter cases differs from its capital by 0x20 alone.
struct FoldedByte {
    std::size_t offset;
    char fold;
    char value;
};

FoldedByte folded(const WatchedByte& byte)
{
    const char fold = byte.lower == byte.capital ? '\0' : '\x20';
    return {byte.offset, fold, static_cast<char>(byte.lower | fold)};
}

// The scan of one chunk by a scan class, for any number of words.
template <template <std::size_t> class Scan>
[[gnu::always_inline]] inline ChunkMasks scanWith(const char* at, const WatchedWord* words, std::size_t wordCount)
{
    switch (wordCount) {
    case 0: return Scan<0>(words).masks(at);
    case 1: return Scan<1>(words).masks(at);
    case 2: return Scan<2>(words).masks(at);
    default: return Scan<3>(words).masks(at);
    }
}

ChunkMasks scanBytes(const char* at, const WatchedWord* words, std::size_t wordCount)
{
    return scanWith<ByteScan>(at, words, wordCount);
}

// The bits for the chunk's bytes before `position` (counted from its start).
std::uint64_t bitsBelow(std::ptrdiff_t position)
{
    return position <= 0 ? std::uint64_t{0} : position >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << position) - 1;
}

int highestPlace(std::uint64_t bits) { return 63 - __builtin_clzll(bits); }

bool isLineEnd(char byte) { return byte == '\n' || byte == '\r'; }

// Where the line ending at `lineEnd` starts: after the line end before it,
// or at `first`, which follows one.
const char* lineStartBefore(const char* first, const char* lineEnd)
{
#if defined(__SSE2__)
    for (; lineEnd - first >= 16; lineEnd -= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lineEnd - 16));
        const auto ends = static_cast<unsigned>(_mm_movemask_epi8(
            _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r')))));
        if (ends != 0)
            return lineEnd - 16 + (32 - __builtin_clz(ends));
    }
#endif
    while (lineEnd > first && !isLineEnd(lineEnd[-1]))
        --lineEnd;
    return lineEnd;
}

// The last line longer than `longLine` among the whole lines from `first` to
// `next` (each follows a line end, or is `first`), looked for from the end
// back: it is the info part in force after the pass.
void findLastLongLine(const char* first, const char* next, std::size_t longLine, PassedLines& passed)
{
    for (const char* lineEnd = next; lineEnd > first;) {
        while (lineEnd > first && isLineEnd(lineEnd[-1]))
            --lineEnd;
        const char* const lineStart = lineStartBefore(first, lineEnd);
        if (static_cast<std::size_t>(lineEnd - lineStart) > longLine) {
            passed.longLine = lineStart;
            passed.longLineLength = static_cast<std::size_t>(lineEnd - lineStart);
            return;
        }
        lineEnd = lineStart;
    }
}

// The pass over plain lines with one scan. A chunk without a blocker, which
// is nearly every chunk, only counts its entry ends and notes where its last
// line ends: no branch depends on its lines. The chunk where
// the pass stops is looked at closely, and the last long line is looked for
// once, back from where the pass stopped.
template <typename Scan>
[[gnu::always_inline]] inline PassedLines passWith(const Scan& scan, const char* at, const char* end,
                                                   std::size_t reach, std::int32_t most, std::size_t longLine)
{
    PassedLines passed;
    const char* const first = at;
    const char* lastEndsChunk = nullptr;  // the last chunk with a line end passed
    std::uint64_t lastEnds = 0;          // and its line ends passed
    std::uint64_t lineEndBefore = 1;     // `at` follows a line end
    for (; passed.entries < most && static_cast<std::size_t>(end - at) >= reach; at += 64) {
        const ChunkMasks masks = scan.masks(at);
        // A word begins in a line, never at its end.
        const std::uint64_t blockers = masks.marks | (masks.wordStarts & ~masks.lineEnds);
        // A line end after a byte that ends no line ends an entry; the others
        // end empty lines or are the LF of a CR LF.
        std::uint64_t entryEnds = masks.lineEnds & ~(masks.lineEnds << 1 | lineEndBefore);
        lineEndBefore = masks.lineEnds >> 63;
        if (blockers == 0 && passed.entries + __builtin_popcountll(entryEnds) < most) {
            passed.entries += __builtin_popcountll(entryEnds);
            lastEndsChunk = masks.lineEnds != 0 ? at : lastEndsChunk;
            lastEnds = masks.lineEnds != 0 ? masks.lineEnds : lastEnds;
            continue;
        }
        // The pass stops before the line of the first blocker, or after its
        // last entry.
        std::uint64_t ends = masks.lineEnds;
        if (blockers != 0)
            ends &= bitsBelow(__builtin_ctzll(blockers));
        entryEnds &= ends;
        const bool full = passed.entries + __builtin_popcountll(entryEnds) >= most;
        while (passed.entries + __builtin_popcountll(entryEnds) > most)
            entryEnds &= ~(std::uint64_t{1} << highestPlace(entryEnds));
        passed.entries += __builtin_popcountll(entryEnds);
        if (full)
            ends &= bitsBelow(highestPlace(entryEnds) + 1);
        if (ends != 0) {
            lastEndsChunk = at;
            lastEnds = ends;
        }
        break;
    }
    passed.next = first;
    if (lastEnds != 0) {
        passed.next = lastEndsChunk + highestPlace(lastEnds) + 1;
        if (passed.next[-1] == '\r' && passed.next[0] == '\n')
            ++passed.next;
    }
    findLastLongLine(first, passed.next, longLine, passed);
    return passed;
}

// The pass with a scan class, for any number of words.
template <template <std::size_t> class Scan>
[[gnu::always_inline]] inline PassedLines passWithWords(const char* at, const char* end, const WatchedWord* words,
                                                        std::size_t wordCount, std::int32_t most, std::size_t longLine)
{
    // Every byte a chunk's tests read, the one after a CR included, is in hand.
    std::size_t reach = 65;
    for (std::size_t index = 0; index < wordCount; ++index)
        reach = std::max({reach, 64 + words[index].rarest.offset, 64 + words[index].next.offset});
    switch (wordCount) {
    case 0: return passWith(Scan<0>(words), at, end, reach, most, longLine);
    case 1: return passWith(Scan<1>(words), at, end, reach, most, longLine);
    case 2: return passWith(Scan<2>(words), at, end, reach, most, longLine);
    default: return passWith(Scan<3>(words), at, end, reach, most, longLine);
    }
}

#if defined(__SSE2__)
template <std::size_t Words>
class Sse2Scan {
public:
    explicit Sse2Scan(const WatchedWord* words)
    {
        for (std::size_t word = 0; word < Words; ++word)
            words_[word] = {prepared(words[word].rarest), prepared(words[word].next)};
    }

    ChunkMasks masks(const char* at) const
    {
        ChunkMasks masks;
#pragma GCC unroll 4
        for (int part = 0; part < 64; part += 16) {
            const char* const from = at + part;
            const __m128i bytes = load(from);
            const __m128i before = load(from - 1);
            const __m128i after = load(from + 1);
            masks.lineEnds |= bits(_mm_or_si128(equal(bytes, '\n'), equal(bytes, '\r'))) << part;
            const __m128i colons =
                _mm_and_si128(equal(bytes, ':'), equal(_mm_or_si128(before, _mm_set1_epi8(ColonFold)), ColonAfter));
            const __m128i subFolders = equal(bytes, '<');
            const __m128i rules = _mm_and_si128(equal(bytes, '-'), equal(after, '-'));
            masks.marks |= bits(_mm_or_si128(colons, _mm_or_si128(subFolders, rules))) << part;
            __m128i starts = _mm_setzero_si128();
            for (const auto& [rarest, next] : words_)
                starts = _mm_or_si128(starts, _mm_and_si128(matches(from, rarest), matches(from, next)));
            masks.wordStarts |= bits(starts) << part;
        }
        return masks;
    }

private:
    struct Byte {
        std::size_t offset;
        __m128i fold;
        __m128i value;
    };

    static __m128i load(const char* bytes) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes)); }
    static std::uint64_t bits(__m128i set) { return std::uint64_t{static_cast<std::uint32_t>(_mm_movemask_epi8(set))}; }
    static __m128i equal(__m128i bytes, char byte) { return _mm_cmpeq_epi8(bytes, _mm_set1_epi8(byte)); }
    static Byte prepared(const WatchedByte& byte)
    {
        const FoldedByte one = folded(byte);
        return {one.offset, _mm_set1_epi8(one.fold), _mm_set1_epi8(one.value)};
    }
    static __m128i matches(const char* at, const Byte& byte)
    {
        return _mm_cmpeq_epi8(_mm_or_si128(load(at + byte.offset), byte.fold), byte.value);
    }

    std::array<std::pair<Byte, Byte>, Words> words_;
};

ChunkMasks scanSse2(const char* at, const WatchedWord* words, std::size_t wordCount)
{
    return scanWith<Sse2Scan>(at, words, wordCount);
}
#endif

#if defined(__x86_64__) && defined(__GNUC__)
#define BRISCA_AVX2 __attribute__((target("avx2,popcnt")))

// The scan of Sse2Scan with vectors twice as wide.
template <std::size_t Words>
class Avx2Scan {
public:
    BRISCA_AVX2 explicit Avx2Scan(const WatchedWord* words)
    {
        for (std::size_t word = 0; word < Words; ++word)
            words_[word] = {prepared(words[word].rarest), prepared(words[word].next)};
    }

    BRISCA_AVX2 ChunkMasks masks(const char* at) const
    {
        ChunkMasks masks;
#pragma GCC unroll 4
        for (int part = 0; part < 64; part += 32) {
            const char* const from = at + part;
            const __m256i bytes = load(from);
            const __m256i before = load(from - 1);
            const __m256i after = load(from + 1);
            masks.lineEnds |= bits(_mm256_or_si256(equal(bytes, '\n'), equal(bytes, '\r'))) << part;
            const __m256i colons = _mm256_and_si256(
                equal(bytes, ':'), equal(_mm256_or_si256(before, _mm256_set1_epi8(ColonFold)), ColonAfter));
            const __m256i subFolders = equal(bytes, '<');
            const __m256i rules = _mm256_and_si256(equal(bytes, '-'), equal(after, '-'));
            masks.marks |= bits(_mm256_or_si256(colons, _mm256_or_si256(subFolders, rules))) << part;
            __m256i starts = _mm256_setzero_si256();
            for (const auto& [rarest, next] : words_)
                starts = _mm256_or_si256(starts, _mm256_and_si256(matches(from, rarest), matches(from, next)));
            masks.wordStarts |= bits(starts) << part;
        }
        return masks;
    }

private:
    struct Byte {
        std::size_t offset;
        __m256i fold;
        __m256i value;
    };

    BRISCA_AVX2 static __m256i load(const char* bytes) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes)); }
    BRISCA_AVX2 static std::uint64_t bits(__m256i set) { return std::uint64_t{static_cast<std::uint32_t>(_mm256_movemask_epi8(set))}; }
    BRISCA_AVX2 static __m256i equal(__m256i bytes, char byte) { return _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(byte)); }
    BRISCA_AVX2 static Byte prepared(const WatchedByte& byte)
    {
        const FoldedByte one = folded(byte);
        return {one.offset, _mm256_set1_epi8(one.fold), _mm256_set1_epi8(one.value)};
    }
    BRISCA_AVX2 static __m256i matches(const char* at, const Byte& byte)
    {
        return _mm256_cmpeq_epi8(_mm256_or_si256(load(at + byte.offset), byte.fold), byte.value);
    }

    std::array<std::pair<Byte, Byte>, Words> words_;
};

#define BRISCA_AVX512 __attribute__((target("avx512bw,popcnt")))

// Sixty-four bytes in one vector, each comparison giving its mask at once.
template <std::size_t Words>
class Avx512Scan {
public:
    BRISCA_AVX512 explicit Avx512Scan(const WatchedWord* words)
    {
        for (std::size_t word = 0; word < Words; ++word)
            words_[word] = {prepared(words[word].rarest), prepared(words[word].next)};
    }

    BRISCA_AVX512 ChunkMasks masks(const char* at) const
    {
        const __m512i bytes = _mm512_loadu_si512(at);
        const __m512i before = _mm512_loadu_si512(at - 1);
        const __m512i after = _mm512_loadu_si512(at + 1);
        ChunkMasks masks;
        masks.lineEnds = equal(bytes, lineFeed_) | equal(bytes, carriageReturn_);
        masks.marks = (equal(bytes, colon_) & equal(_mm512_or_si512(before, colonFold_), colonAfter_)) |
            equal(bytes, less_) | (equal(bytes, hyphen_) & equal(after, hyphen_));
        for (const auto& [rarest, next] : words_)
            masks.wordStarts |= matches(at, rarest) & matches(at, next);
        return masks;
    }

private:
    struct Byte {
        std::size_t offset;
        __m512i fold;
        __m512i value;
    };

    BRISCA_AVX512 static std::uint64_t equal(__m512i a, __m512i b) { return _mm512_cmpeq_epi8_mask(a, b); }
    BRISCA_AVX512 static Byte prepared(const WatchedByte& byte)
    {
        const FoldedByte one = folded(byte);
        return {one.offset, _mm512_set1_epi8(one.fold), _mm512_set1_epi8(one.value)};
    }
    BRISCA_AVX512 static std::uint64_t matches(const char* at, const Byte& byte)
    {
        return equal(_mm512_or_si512(_mm512_loadu_si512(at + byte.offset), byte.fold), byte.value);
    }

    __m512i lineFeed_ = _mm512_set1_epi8('\n');
    __m512i carriageReturn_ = _mm512_set1_epi8('\r');
    __m512i colon_ = _mm512_set1_epi8(':');
    __m512i colonFold_ = _mm512_set1_epi8(ColonFold);
    __m512i colonAfter_ = _mm512_set1_epi8(ColonAfter);
    __m512i less_ = _mm512_set1_epi8('<');
    __m512i hyphen_ = _mm512_set1_epi8('-');
    std::array<std::pair<Byte, Byte>, Words> words_;
};

BRISCA_AVX2 ChunkMasks scanAvx2(const char* at, const WatchedWord* words, std::size_t wordCount)
{
    return scanWith<Avx2Scan>(at, words, wordCount);
}

BRISCA_AVX512 ChunkMasks scanAvx512(const char* at, const WatchedWord* words, std::size_t wordCount)
{
    return scanWith<Avx512Scan>(at, words, wordCount);
}

[[gnu::flatten]] BRISCA_AVX2 PassedLines passAvx2(const char* at, const char* end, const WatchedWord* words,
                                                  std::size_t wordCount, std::int32_t most, std::size_t longLine)
{
    return passWithWords<Avx2Scan>(at, end, words, wordCount, most, longLine);
}

[[gnu::flatten]] BRISCA_AVX512 PassedLines passAvx512(const char* at, const char* end, const WatchedWord* words,
                                                      std::size_t wordCount, std::int32_t most, std::size_t longLine)
{
    return passWithWords<Avx512Scan>(at, end, words, wordCount, most, longLine);
}
#endif

// Each scan with its pass, by number; nulls where the processor cannot run them.
struct ScanAndPass {
    ChunkScan scan = nullptr;
    LinePass pass = nullptr;
};

ScanAndPass scanAndPassNumber(std::size_t number)
{
    switch (number) {
    case 0: return {scanBytes, passWithWords<ByteScan>};
#if defined(__SSE2__)
    case 1: return {scanSse2, passWithWords<Sse2Scan>};
#endif
#if defined(__x86_64__) && defined(__GNUC__)
    case 2: return __builtin_cpu_supports("avx2") ? ScanAndPass{scanAvx2, passAvx2} : ScanAndPass{};
    case 3: return __builtin_cpu_supports("avx512bw") ? ScanAndPass{scanAvx512, passAvx512} : ScanAndPass{};
#endif
    default: return {};
    }
}

}  // namespace

ChunkScan chunkScanNumber(std::size_t number) { return scanAndPassNumber(number).scan; }

LinePass linePassNumber(std::size_t number) { return scanAndPassNumber(number).pass; }

PassedLines passPlainLines(const char* at, const char* end, const WatchedWord* words, std::size_t wordCount,
                           std::int32_t most, std::size_t longLine)
{
    static const LinePass pass = [] {
        LinePass fastest = nullptr;
        for (std::size_t number = 0; number < ChunkScanCount; ++number)
            fastest = linePassNumber(number) ? linePassNumber(number) : fastest;
        return fastest;
    }();
    return pass(at, end, words, wordCount, most, longLine);
}

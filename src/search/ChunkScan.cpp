#include "search/ChunkScan.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace {

bool startsWord(const char* at, const WatchedWord& word)
{
    return (*at == word.first || *at == word.firstCapital) &&
        (at[word.length - 1] == word.last || at[word.length - 1] == word.lastCapital);
}

ChunkMasks scanBytes(const char* at, const WatchedWord* words, std::size_t wordCount)
{
    ChunkMasks masks;
    for (int place = 0; place < 64; ++place) {
        const char byte = at[place];
        const std::uint64_t bit = std::uint64_t{1} << place;
        if (byte == '\n' || byte == '\r')
            masks.lineEnds |= bit;
        if (byte == ':' || byte == '<' || byte == '-')
            masks.markBytes |= bit;
        for (std::size_t word = 0; word < wordCount; ++word) {
            if (startsWord(at + place, words[word]))
                masks.wordStarts |= bit;
        }
    }
    return masks;
}

#if defined(__SSE2__)
ChunkMasks scanSse2(const char* at, const WatchedWord* words, std::size_t wordCount)
{
    const auto load = [](const char* bytes) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes)); };
    const auto bits = [](__m128i set) { return std::uint64_t{static_cast<unsigned>(_mm_movemask_epi8(set))}; };
    ChunkMasks masks;
    for (int part = 0; part < 64; part += 16) {
        const __m128i bytes = load(at + part);
        const auto equal = [&](char byte) { return _mm_cmpeq_epi8(bytes, _mm_set1_epi8(byte)); };
        masks.lineEnds |= bits(_mm_or_si128(equal('\n'), equal('\r'))) << part;
        masks.markBytes |= bits(_mm_or_si128(equal(':'), _mm_or_si128(equal('<'), equal('-')))) << part;
        __m128i starts = _mm_setzero_si128();
        for (std::size_t index = 0; index < wordCount; ++index) {
            const WatchedWord& word = words[index];
            const __m128i lasts = load(at + part + word.length - 1);
            const auto lastIs = [&](char byte) { return _mm_cmpeq_epi8(lasts, _mm_set1_epi8(byte)); };
            starts = _mm_or_si128(starts, _mm_and_si128(_mm_or_si128(equal(word.first), equal(word.firstCapital)),
                                                        _mm_or_si128(lastIs(word.last), lastIs(word.lastCapital))));
        }
        masks.wordStarts |= bits(starts) << part;
    }
    return masks;
}
#endif

#if defined(__x86_64__) && defined(__GNUC__)
#define BRISCA_AVX2 __attribute__((target("avx2")))

BRISCA_AVX2 std::uint64_t bitsAvx2(__m256i set)
{
    return std::uint64_t{static_cast<std::uint32_t>(_mm256_movemask_epi8(set))};
}

BRISCA_AVX2 __m256i equalAvx2(__m256i bytes, char byte) { return _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(byte)); }

BRISCA_AVX2 ChunkMasks scanAvx2(const char* at, const WatchedWord* words, std::size_t wordCount)
{
    ChunkMasks masks;
    for (int part = 0; part < 64; part += 32) {
        const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + part));
        masks.lineEnds |= bitsAvx2(_mm256_or_si256(equalAvx2(bytes, '\n'), equalAvx2(bytes, '\r'))) << part;
        masks.markBytes |= bitsAvx2(_mm256_or_si256(
                               equalAvx2(bytes, ':'), _mm256_or_si256(equalAvx2(bytes, '<'), equalAvx2(bytes, '-'))))
            << part;
        __m256i starts = _mm256_setzero_si256();
        for (std::size_t index = 0; index < wordCount; ++index) {
            const WatchedWord& word = words[index];
            const __m256i lasts = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + part + word.length - 1));
            const __m256i first = _mm256_or_si256(equalAvx2(bytes, word.first), equalAvx2(bytes, word.firstCapital));
            const __m256i last = _mm256_or_si256(equalAvx2(lasts, word.last), equalAvx2(lasts, word.lastCapital));
            starts = _mm256_or_si256(starts, _mm256_and_si256(first, last));
        }
        masks.wordStarts |= bitsAvx2(starts) << part;
    }
    return masks;
}

#define BRISCA_AVX512 __attribute__((target("avx512bw")))

// Sixty-four bytes in one vector, each comparison giving its mask at once.
BRISCA_AVX512 ChunkMasks scanAvx512(const char* at, const WatchedWord* words, std::size_t wordCount)
{
    const __m512i bytes = _mm512_loadu_si512(at);
    const auto equal = [](__m512i set, char byte) BRISCA_AVX512 {
        return std::uint64_t{_mm512_cmpeq_epi8_mask(set, _mm512_set1_epi8(byte))};
    };
    ChunkMasks masks;
    masks.lineEnds = equal(bytes, '\n') | equal(bytes, '\r');
    masks.markBytes = equal(bytes, ':') | equal(bytes, '<') | equal(bytes, '-');
    for (std::size_t index = 0; index < wordCount; ++index) {
        const WatchedWord& word = words[index];
        const __m512i lasts = _mm512_loadu_si512(at + word.length - 1);
        masks.wordStarts |= (equal(bytes, word.first) | equal(bytes, word.firstCapital)) &
            (equal(lasts, word.last) | equal(lasts, word.lastCapital));
    }
    return masks;
}
#endif

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

ChunkScan chunkScan()
{
    static const ChunkScan fastest = [] {
        for (std::size_t number = ChunkScanCount; number-- > 0;) {
            if (const ChunkScan scan = chunkScanNumber(number))
                return scan;
        }
        return ChunkScan{scanBytes};
    }();
    return fastest;
}

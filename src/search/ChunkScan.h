#pragma once
// Listing text sixty-four bytes at a time, as bit masks (bit i for the byte
// at + i): where lines end, where a mark may be, and where one of a few words
// may begin in any letter case. The search passes over plain entry lines with
// them, counting the lines by their ends without looking at each one. The
// processor's widest vectors that the program knows are used.

#include <cstddef>
#include <cstdint>

// A byte of a watched word, at its place in the word, in both letter cases:
// the capital is the lower-case byte with bit 0x20 cleared (a byte with no
// capital twice), so that one comparison finds both.
struct WatchedByte {
    std::size_t offset;
    char lower;
    char capital;
};

// A word the scan looks out for by two of its bytes, the rarest (the same one
// twice in a word of one byte).
struct WatchedWord {
    WatchedByte rarest;
    WatchedByte next;
};

// A byte before a colon that may end a mark, as one comparison: 'e' and 'y'
// with these bits set are the same byte.
inline constexpr char ColonFold = 0x1C;
inline constexpr char ColonAfter = 'e' | ColonFold;
static_assert(('y' | ColonFold) == ColonAfter);

struct ChunkMasks {
    std::uint64_t lineEnds = 0;    // CR and LF
    // Where a mark may be: ':' after a byte that is 'e' or 'y' with bits 0x1C
    // set ("Volume:", "Directory:"; also after 'a' 'i' 'm' 'q' 'u' '}'),
    // '<' ("<DIR>"), '-' before '-' (a rule). Each takes few steps to find
    // and is rare in entry lines; the reader tells the marks from the others.
    std::uint64_t marks = 0;
    std::uint64_t wordStarts = 0;  // both watched bytes of a word agree
};

// Whether the byte at `at` is one that `marks` sets; reads the byte before it
// and the one after.
inline bool mayBeMark(const char* at)
{
    switch (*at) {
    case ':': return (at[-1] | ColonFold) == ColonAfter;
    case '<': return true;
    case '-': return at[1] == '-';
    default: return false;
    }
}

// Reads the sixty-four bytes at `at`, the byte before them, the byte after
// them and, for the words, as many past them as the farthest watched byte.
using ChunkScan = ChunkMasks (*)(const char* at, const WatchedWord* words, std::size_t wordCount);

// What a pass over plain entry lines went past.
struct PassedLines {
    const char* next = nullptr;  // where the pass stopped: the start of a line
    std::int32_t entries = 0;    // the entry lines passed (not the empty ones)
    // The last entry line passed that is longer than the pass was told, if any.
    const char* longLine = nullptr;
    std::size_t longLineLength = 0;
};

// Passes over the lines from `at`, which begins a line, while each is empty or
// an entry line (no mark) in which none of the words may begin, at most
// `most` entry lines. Stops before a line it cannot see whole in the bytes
// before `end`; reads the byte before `at` too.
PassedLines passPlainLines(const char* at, const char* end, const WatchedWord* words, std::size_t wordCount,
                           std::int32_t most, std::size_t longLine);

// Each scan the program has, the byte-by-byte one first; the others give the
// same masks faster, where the processor runs them (a null entry where not).
// The pass uses the last one the processor runs.
inline constexpr std::size_t ChunkScanCount = 4;
ChunkScan chunkScanNumber(std::size_t number);

// The pass over plain lines with each of those scans (a null entry where the
// processor cannot run it); passPlainLines is the last one.
using LinePass = PassedLines (*)(const char* at, const char* end, const WatchedWord* words, std::size_t wordCount,
                                 std::int32_t most, std::size_t longLine);
LinePass linePassNumber(std::size_t number);

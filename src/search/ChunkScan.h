#pragma once
// Listing text sixty-four bytes at a time, as bit masks (bit i for the byte
// at + i): where lines end, where a mark may be, and where one of a few words
// may begin in any letter case. The search passes over plain entry lines with
// them, without looking at each line. The processor's widest vectors that the
// program knows are used.

#include <cstddef>
#include <cstdint>

// A word the scan looks out for: its first and last byte in both letter
// cases (a byte with no capital twice), and its length.
struct WatchedWord {
    char first;
    char firstCapital;
    char last;
    char lastCapital;
    std::size_t length;
};

struct ChunkMasks {
    std::uint64_t lineEnds = 0;    // CR and LF
    std::uint64_t markBytes = 0;   // ':' '<' '-', which may be part of a mark
    std::uint64_t wordStarts = 0;  // first and last byte of a word both agree
};

// Reads the sixty-four bytes at `at` and, for the words, as many past them
// as the longest word.
using ChunkScan = ChunkMasks (*)(const char* at, const WatchedWord* words, std::size_t wordCount);

// The scan for this processor.
ChunkScan chunkScan();

// Each scan the program has, the byte-by-byte one first; the others give the
// same masks faster, where the processor runs them (a null entry where not).
inline constexpr std::size_t ChunkScanCount = 4;
ChunkScan chunkScanNumber(std::size_t number);

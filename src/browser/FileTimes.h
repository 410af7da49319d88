#pragma once
// A file's three time stamps as Windows file times: read, stamped and
// compared. The times always travel in the order creation, last write, last
// access. None of the routines reports a failure: a file that does not exist
// (or is hidden) leaves the caller's records as they were, and a file that
// cannot be read or written is left alone. Where the file system keeps no
// creation time, the last status change stands in for it, and it cannot be set.

#include <QString>
#include <cstdint>

// One 64-bit count of 100-nanosecond intervals since 1 January 1601 (UTC),
// as its low and high halves.
struct FILETIME {
    std::uint32_t low = 0;
    std::uint32_t high = 0;
};

// Fills the three records from the file named (blanks at its ends ignored).
// An error of the name itself (a drive that is not ready) reaches the caller.
void GetFileTimes(const QString& FileName, FILETIME& Creation, FILETIME& LastWrite, FILETIME& LastAccess);
// Gives the file the three times; a read-only file keeps its own.
void SetFileTimes(const QString& FileName, const FILETIME& Creation, const FILETIME& LastWrite,
                  const FILETIME& LastAccess);
// True when both records hold the same instant, to the 100 nanoseconds.
bool FileTimesMatch(const FILETIME& A, const FILETIME& B);

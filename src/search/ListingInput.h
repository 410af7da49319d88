#pragma once
// The bytes of a listing that its reader has in hand: one stretch at a time,
// with readable bytes on both sides of it. A regular file is mapped a window
// at a time, so its bytes are not copied and the memory stays the same
// whatever the file's size; any other device (a pipe, a buffer in tests, a
// file that cannot be mapped) is read in blocks. Either way, the bytes the
// reader keeps come first in the next stretch.
//
// A file cut short while it is mapped ends where it ends now, as a read would
// find it: the bytes in hand past its new end are dropped.

#include "platform/MappedWindow.h"

#include <QtGlobal>
#include <cstddef>
#include <memory>
#include <vector>

class QIODevice;

class ListingInput {
public:
    // Readable bytes before the bytes in hand and after them.
    static constexpr std::size_t Margin = 32;
    static constexpr std::size_t DefaultStretch = 2 * 1024 * 1024;

    // Takes the device's bytes from its position on, `stretch` bytes at a time.
    explicit ListingInput(QIODevice& device, std::size_t stretch = DefaultStretch);

    const char* begin() const { return begin_; }
    const char* end() const { return end_; }
    // Whether `byte` lies in the bytes in hand or their margins, which the
    // next call of takeMore may move or let go.
    bool holds(const char* byte) const;

    // Lets go of the bytes before `keep` and takes in more after the others,
    // which come first. False, nothing taken, at the end of the listing.
    // Raises 75 when the device fails to read.
    bool takeMore(const char* keep);

private:
    enum class Mapping { Taken, Ended, Failed };
    Mapping mapMore(const char* keep);
    bool readMore(const char* keep);
    char* block();
    std::size_t blockSize() const;

    QIODevice& device_;
    const std::size_t stretch_;
    int mappable_ = -1;          // the file's descriptor while it is mapped
    qint64 start_ = 0;           // the device's position at the start
    std::unique_ptr<platform::MappedWindow> window_;
    qint64 windowOffset_ = 0;    // where the window lies in the file
    std::vector<char> storage_;  // a block read, with a margin on each side
    const char* begin_ = nullptr;
    const char* end_ = nullptr;
};

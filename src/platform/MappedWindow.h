#pragma once
// A stretch of a file mapped into memory for reading, in place of copying it
// in with read(). A file cut short while it is mapped would raise SIGBUS at
// the first touch of a page past its new end and end the program; here such a
// page reads as zeros instead, and the window tells that its file was cut.
// Every window is readable for `margin` bytes before its first byte and after
// its last (zeros where the file has no bytes there).

#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform {

class MappedWindow {
public:
    // Maps `length` bytes (more than 0) of the open file `fd` from `offset`;
    // null when the file cannot be mapped (a pipe, a special file, no memory).
    static std::unique_ptr<MappedWindow> map(int fd, std::int64_t offset, std::size_t length, std::size_t margin);
    ~MappedWindow();
    MappedWindow(const MappedWindow&) = delete;
    MappedWindow& operator=(const MappedWindow&) = delete;

    const char* data() const { return data_; }
    std::size_t size() const { return size_; }
    // True once a page of the window was found past the file's end: the file
    // was cut short, and the window's bytes from that page on read as zeros.
    bool cut() const;

private:
    MappedWindow(char* reserved, std::size_t reservedSize, const char* data, std::size_t size, int guard);

    char* reserved_;  // the mapping with its margins
    std::size_t reservedSize_;
    const char* data_;
    std::size_t size_;
    int guard_;  // the window's place among the guarded ones
};

}  // namespace platform

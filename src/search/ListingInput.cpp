#include "search/ListingInput.h"

#include "runtime/RuntimeError.h"

#include <QFileDevice>
#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <sys/stat.h>

namespace {

// Where the bytes in hand point before anything is taken in.
constexpr char Nothing[2 * ListingInput::Margin] = {};

// The descriptor of a regular file that is not empty; -1 for anything else.
int mappableHandle(QIODevice& device)
{
    const auto* file = qobject_cast<QFileDevice*>(&device);
    struct stat status {};
    if (file == nullptr || file->handle() < 0 || fstat(file->handle(), &status) != 0)
        return -1;
    return S_ISREG(status.st_mode) && status.st_size > 0 ? file->handle() : -1;
}

bool within(const char* byte, const char* first, const char* last)
{
    const std::less_equal<const char*> atOrBefore;
    return atOrBefore(first, byte) && atOrBefore(byte, last);
}

}  // namespace

ListingInput::ListingInput(QIODevice& device, std::size_t stretch)
    : device_(device), stretch_(stretch), mappable_(mappableHandle(device)), start_(device.pos()),
      begin_(Nothing + Margin), end_(begin_)
{
}

bool ListingInput::holds(const char* byte) const
{
    return (window_ && within(byte, window_->data() - Margin, window_->data() + window_->size() + Margin)) ||
        (!storage_.empty() && within(byte, storage_.data(), &storage_.back()));
}

bool ListingInput::takeMore(const char* keep)
{
    if (mappable_ >= 0) {
        const Mapping mapping = mapMore(keep);
        if (mapping != Mapping::Failed)
            return mapping == Mapping::Taken;
        // Read on from the bytes to keep, which the last window let go.
        mappable_ = -1;
        if (!device_.seek(windowOffset_))
            runtime::raise(runtime::err::PathFileAccessError, device_.errorString());
        keep = begin_;
    }
    return readMore(keep);
}

// Each window is mapped after a look at the file's size, so no window reaches
// past the file's end unless the file is cut short later; then the window
// reads as zeros past the cut, and the file ends at its size now. The window
// in hand goes before the next is mapped, so that one at most is in memory.
ListingInput::Mapping ListingInput::mapMore(const char* keep)
{
    const qint64 from = window_ ? windowOffset_ + (keep - window_->data()) : start_;
    const auto kept = static_cast<qint64>(end_ - keep);
    begin_ = keep;
    struct stat status {};
    const bool sized = fstat(mappable_, &status) == 0;
    if (sized && window_ && (window_->cut() || status.st_size < windowOffset_ + static_cast<qint64>(window_->size()))) {
        end_ = keep + std::clamp<qint64>(status.st_size - from, 0, kept);
        return Mapping::Ended;
    }
    if (sized && status.st_size <= from + kept)
        return Mapping::Ended;
    window_.reset();
    windowOffset_ = from;
    begin_ = end_ = Nothing + Margin;
    if (!sized)
        return Mapping::Failed;
    // A line longer than a window gets a window twice its length.
    const auto length = static_cast<std::size_t>(
        std::min<qint64>(std::max(static_cast<qint64>(stretch_), 2 * kept), status.st_size - from));
    window_ = platform::MappedWindow::map(mappable_, from, length, Margin);
    if (!window_)
        return Mapping::Failed;
    begin_ = window_->data();
    end_ = begin_ + length;
    return Mapping::Taken;
}

bool ListingInput::readMore(const char* keep)
{
    const auto kept = static_cast<std::size_t>(end_ - keep);
    if (storage_.empty() || kept == blockSize()) {
        // A line longer than a block gets a block twice its length.
        std::vector<char> larger(Margin + std::max(stretch_, 2 * kept) + Margin);
        std::memcpy(larger.data() + Margin, keep, kept);
        storage_.swap(larger);
    } else {
        std::memmove(block(), keep, kept);
    }
    window_.reset();
    const qint64 read = device_.read(block() + kept, static_cast<qint64>(blockSize() - kept));
    if (read < 0)
        runtime::raise(runtime::err::PathFileAccessError, device_.errorString());
    begin_ = block();
    end_ = block() + kept + read;
    return read > 0;
}

char* ListingInput::block() { return storage_.data() + Margin; }

std::size_t ListingInput::blockSize() const { return storage_.size() - 2 * Margin; }

#include "platform/MappedWindow.h"

#include <array>
#include <atomic>
#include <csignal>
#include <mutex>
#include <sys/mman.h>
#include <unistd.h>

namespace platform {

namespace {

// The file pages of a mapped window, as the SIGBUS handler sees them. A free
// place has an empty range.
struct GuardedRange {
    std::atomic<bool> taken{false};
    std::atomic<std::uintptr_t> begin{0};
    std::atomic<std::uintptr_t> end{0};
    std::atomic<bool> cut{false};
};

constexpr int GuardedCount = 16;
std::array<GuardedRange, GuardedCount> guarded;
struct sigaction previousAction {};
std::size_t pageBytes = 0;

std::size_t roundedUp(std::size_t bytes, std::size_t unit) { return (bytes + unit - 1) / unit * unit; }

// A touch of a window's page past the end of its file: the window's pages
// from there on become zeros, and the access that faulted is made again on
// them. Any other bus error goes to the handler there was before.
void onBusError(int signal, siginfo_t* info, void*)
{
    const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (GuardedRange& range : guarded) {
        const std::uintptr_t end = range.end.load();
        if (address < range.begin.load() || address >= end)
            continue;
        const std::uintptr_t page = address / pageBytes * pageBytes;
        if (mmap(reinterpret_cast<void*>(page), end - page, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1,
                 0) != MAP_FAILED) {
            range.cut.store(true);
            return;
        }
        break;
    }
    sigaction(SIGBUS, &previousAction, nullptr);
    if (info->si_code <= 0)  // sent by a process: no fault repeats it
        raise(signal);
}

void guardOnce()
{
    static std::once_flag once;
    std::call_once(once, [] {
        pageBytes = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
        struct sigaction action {};
        action.sa_sigaction = onBusError;
        action.sa_flags = SA_SIGINFO;
        sigemptyset(&action.sa_mask);
        sigaction(SIGBUS, &action, &previousAction);
    });
}

int takeGuardedRange()
{
    for (int place = 0; place < GuardedCount; ++place) {
        bool free = false;
        if (guarded[place].taken.compare_exchange_strong(free, true))
            return place;
    }
    return -1;
}

}  // namespace

std::unique_ptr<MappedWindow> MappedWindow::map(int fd, std::int64_t offset, std::size_t length, std::size_t margin)
{
    guardOnce();
    const std::size_t before = static_cast<std::size_t>(offset) % pageBytes;
    const std::size_t filePages = roundedUp(before + length, pageBytes);
    const std::size_t marginPages = roundedUp(margin, pageBytes);
    const std::size_t reservedSize = marginPages + filePages + marginPages;
    void* const reserved = mmap(nullptr, reservedSize, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (reserved == MAP_FAILED)
        return nullptr;
    char* const fileStart = static_cast<char*>(reserved) + marginPages;
    const int guard = takeGuardedRange();
    if (guard < 0 || mmap(fileStart, filePages, PROT_READ, MAP_SHARED | MAP_FIXED, fd,
                          offset - static_cast<std::int64_t>(before)) == MAP_FAILED) {
        if (guard >= 0)
            guarded[guard].taken.store(false);
        munmap(reserved, reservedSize);
        return nullptr;
    }
    madvise(fileStart, filePages, MADV_SEQUENTIAL);
    guarded[guard].cut.store(false);
    guarded[guard].begin.store(reinterpret_cast<std::uintptr_t>(fileStart));
    guarded[guard].end.store(reinterpret_cast<std::uintptr_t>(fileStart + filePages));
    return std::unique_ptr<MappedWindow>(
        new MappedWindow(static_cast<char*>(reserved), reservedSize, fileStart + before, length, guard));
}

MappedWindow::MappedWindow(char* reserved, std::size_t reservedSize, const char* data, std::size_t size, int guard)
    : reserved_(reserved), reservedSize_(reservedSize), data_(data), size_(size), guard_(guard)
{
}

MappedWindow::~MappedWindow()
{
    guarded[guard_].end.store(0);
    guarded[guard_].begin.store(0);
    guarded[guard_].taken.store(false);
    munmap(reserved_, reservedSize_);
}

bool MappedWindow::cut() const { return guarded[guard_].cut.load(); }

}  // namespace platform

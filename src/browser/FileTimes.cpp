#include "browser/FileTimes.h"

#include "platform/FileSystem.h"
#include "platform/Services.h"
#include "runtime/RuntimeError.h"
#include "runtime/Strings.h"

namespace {

FILETIME fromCount(std::uint64_t count)
{
    return {static_cast<std::uint32_t>(count), static_cast<std::uint32_t>(count >> 32)};
}

std::uint64_t toCount(const FILETIME& time) { return std::uint64_t{time.high} << 32 | time.low; }

// Blanks at the ends do not count; the name must be an ordinary, visible
// file. The one name is looked up directly, never by searching its folder,
// so reading the times of every file of a large folder stays linear. A drive
// that is not ready raises 52, as a directory search of it does.
QString existingName(const QString& FileName)
{
    const QString name = runtime::trimBlanks(FileName);
    using namespace platform::attr;
    try {
        const int attributes = platform::fileSystem().getAttr(name);
        return attributes & (Directory | Hidden | System | Volume) ? QString() : name;
    } catch (const runtime::RuntimeError& error) {
        if (error.number() == runtime::err::FileNotFound)
            return {};
        if (error.number() == runtime::err::DeviceUnavailable)
            runtime::raise(runtime::err::BadFileNameOrNumber);
        throw;
    }
}

}  // namespace

void GetFileTimes(const QString& FileName, FILETIME& Creation, FILETIME& LastWrite, FILETIME& LastAccess)
{
    const QString name = existingName(FileName);
    if (name.isEmpty())
        return;
    try {
        const platform::FileTimes times = platform::fileSystem().fileTimes(name);
        Creation = fromCount(times.creation);
        LastWrite = fromCount(times.lastWrite);
        LastAccess = fromCount(times.lastAccess);
    } catch (const runtime::RuntimeError&) {
        // A file that cannot be opened leaves the records as they were.
    }
}

void SetFileTimes(const QString& FileName, const FILETIME& Creation, const FILETIME& LastWrite,
                  const FILETIME& LastAccess)
{
    const QString name = existingName(FileName);
    if (name.isEmpty())
        return;
    platform::FileSystem& files = platform::fileSystem();
    try {
        if (files.getAttr(name) & platform::attr::ReadOnly)
            return;
        files.setFileTimes(name, {toCount(Creation), toCount(LastAccess), toCount(LastWrite)});
    } catch (const runtime::RuntimeError&) {
        // A file that cannot be opened for writing keeps its times.
    }
}

bool FileTimesMatch(const FILETIME& A, const FILETIME& B) { return A.low == B.low && A.high == B.high; }

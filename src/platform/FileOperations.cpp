// The file system's changing calls and the file times, with the errors the
// classic runtime raises for them.

#include "platform/FileSystem.h"

#include "platform/HostNames.h"
#include "platform/PathLookup.h"
#include "runtime/RuntimeError.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

using runtime::err::DeviceUnavailable;
using runtime::err::FileNotFound;
using runtime::err::PathFileAccessError;
using runtime::err::PathNotFound;

constexpr int FileAlreadyExists = 58;
constexpr std::int64_t TicksPerSecond = 10'000'000;
constexpr std::int64_t SecondsFrom1601To1970 = 11'644'473'600;

std::uint64_t toFileTime(const statx_timestamp& time)
{
    return static_cast<std::uint64_t>((time.tv_sec + SecondsFrom1601To1970) * TicksPerSecond
                                      + time.tv_nsec / 100);
}

// A zero file time leaves that time as it is (no real file time lies in 1601).
timespec toTimespec(std::uint64_t fileTime)
{
    if (fileTime == 0)
        return {0, UTIME_OMIT};
    const auto ticks = static_cast<std::int64_t>(fileTime);
    return {static_cast<time_t>(ticks / TicksPerSecond - SecondsFrom1601To1970),
            static_cast<long>(ticks % TicksPerSecond * 100)};
}

HostLocation existingFile(const DriveTable& drives, const QString& path)
{
    const HostLocation location = locate(drives, path, DeviceUnavailable);
    struct stat status {};
    if (!location.exists || !statHost(location.path(), status) || !S_ISREG(status.st_mode))
        runtime::raise(FileNotFound);
    return location;
}

// Where a new entry goes: the existing entry of that name, else the name as written.
HostLocation target(const DriveTable& drives, const QString& path)
{
    const HostLocation location = locate(drives, path, DeviceUnavailable);
    struct stat status {};
    if (!statHost(location.parent, status) || !S_ISDIR(status.st_mode))
        runtime::raise(PathNotFound);
    return location;
}

// The host path a file is written to in place of what may be there: 75 when
// that is a folder.
QString fileTarget(const DriveTable& drives, const QString& path)
{
    const QString destination = target(drives, path).path();
    struct stat status {};
    if (statHost(destination, status) && S_ISDIR(status.st_mode))
        runtime::raise(PathFileAccessError);
    return destination;
}

// Linux keeps no settable creation time: the birth time is reported where the
// file system records it (else the last status change), and writeTimes sets
// the last access and last write times only.
FileTimes readTimes(const QString& hostPath)
{
    const QByteArray host = hostBytes(hostPath);
    struct statx info {};
    if (::statx(AT_FDCWD, host.constData(), 0, STATX_BASIC_STATS | STATX_BTIME, &info) != 0)
        runtime::raise(PathFileAccessError);
    const bool hasBirth = (info.stx_mask & STATX_BTIME) != 0;
    return {toFileTime(hasBirth ? info.stx_btime : info.stx_ctime), toFileTime(info.stx_atime),
            toFileTime(info.stx_mtime)};
}

void writeTimes(const QString& hostPath, const FileTimes& times)
{
    const QByteArray host = hostBytes(hostPath);
    const timespec accessAndWrite[2] = {toTimespec(times.lastAccess), toTimespec(times.lastWrite)};
    if (::utimensat(AT_FDCWD, host.constData(), accessAndWrite, 0) != 0)
        runtime::raise(PathFileAccessError);
}

bool sameHostEntry(const QString& a, const QString& b)
{
    struct stat first {};
    struct stat second {};
    return statHost(a, first) && statHost(b, second) && first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// A file moved to another host file system is copied there, as Windows moves do.
bool renameHostEntry(const QString& from, const QString& to)
{
    if (::rename(hostBytes(from).constData(), hostBytes(to).constData()) == 0)
        return true;
    return errno == EXDEV && QFile::rename(from, to);
}

bool copyContents(const QString& from, const QString& to)
{
    QFile source;
    QSaveFile destination(to);
    if (!openHostFileForReading(source, from) || !destination.open(QIODevice::WriteOnly))
        return false;
    constexpr qint64 ChunkSize = 1 << 20;
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(ChunkSize);
        if (source.error() != QFileDevice::NoError || destination.write(chunk) != chunk.size())
            return false;
    }
    return destination.commit();
}

}  // namespace

FileTimes FileSystem::fileTimes(const QString& path) const
{
    return readTimes(existingFile(drives_, path).path());
}

void FileSystem::setFileTimes(const QString& path, const FileTimes& times)
{
    writeTimes(existingFile(drives_, path).path(), times);
}

void FileSystem::mkDir(const QString& path)
{
    const HostLocation location = target(drives_, path);
    if (location.exists || ::mkdir(hostBytes(location.path()).constData(), 0777) != 0)
        runtime::raise(PathFileAccessError);
}

void FileSystem::mkDirExact(const QString& path)
{
    const HostLocation location = target(drives_, path);
    if (location.name.isEmpty())  // a drive's root
        runtime::raise(PathFileAccessError);
    const QString written = splitWindowsPath(path)->components.last();
    if ((location.exists && drivePathNameOfHostText(location.name) == written) ||
        ::mkdir(hostBytes(joinHostPath(location.parent, written)).constData(), 0777) != 0)
        runtime::raise(PathFileAccessError);
}

void FileSystem::kill(const QString& path)
{
    if (::unlink(hostBytes(existingFile(drives_, path).path()).constData()) != 0)
        runtime::raise(PathFileAccessError);
}

void FileSystem::name(const QString& from, const QString& to)
{
    const HostLocation source = locate(drives_, from, DeviceUnavailable);
    if (!source.exists)
        runtime::raise(FileNotFound);
    HostLocation destination = target(drives_, to);
    const QString sourcePath = source.path();
    const bool sameEntry = destination.exists && sameHostEntry(destination.path(), sourcePath);
    if (destination.exists && !sameEntry)
        runtime::raise(FileAlreadyExists);
    if (sameEntry)  // a change of case only: take the name as written
        destination.name = splitWindowsPath(to)->components.last();
    if (!renameHostEntry(sourcePath, destination.path()))
        runtime::raise(PathFileAccessError);
}

void FileSystem::replace(const QString& from, const QString& to)
{
    const QString source = existingFile(drives_, from).path();
    if (!renameHostEntry(source, fileTarget(drives_, to)))
        runtime::raise(PathFileAccessError);
}

void FileSystem::matchCase(const QString& path)
{
    const HostLocation location = locate(drives_, path, DeviceUnavailable);
    if (location.exists && !location.name.isEmpty() &&
        drivePathNameOfHostText(location.name) != splitWindowsPath(path)->components.last())
        name(path, path);
}

void FileSystem::fileCopy(const QString& from, const QString& to)
{
    const QString source = existingFile(drives_, from).path();
    const QString destination = fileTarget(drives_, to);
    if (!copyContents(source, destination))
        runtime::raise(PathFileAccessError);
    // A copy keeps its source's last write time, as Windows copies do.
    writeTimes(destination, {0, 0, readTimes(source).lastWrite});
}

}  // namespace platform

#include "platform/FileSystem.h"

#include "platform/HostNames.h"
#include "platform/PathLookup.h"
#include "platform/Wildcard.h"
#include "runtime/RuntimeError.h"

#include <QDir>
#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform {

namespace {

using runtime::err::BadFileNameOrNumber;
using runtime::err::DeviceUnavailable;
using runtime::err::FileNotFound;

QString absoluteHostPath(const QString& hostPath)
{
    return QDir::cleanPath(QDir(hostPath).absolutePath());
}

bool holds(const QString& root, const QString& path)
{
    return root == u"/" || path == root || path.startsWith(root + u'/');
}

// The entry's status (links followed); raises 53 when it is missing.
struct stat existingEntry(const DriveTable& drives, const QString& path)
{
    const HostLocation location = locate(drives, path, DeviceUnavailable);
    struct stat status {};
    if (!location.exists || !statHost(location.path(), status))
        runtime::raise(FileNotFound);
    return status;
}

// The entry's status, or nullopt when it is missing, the path is invalid or the drive is not ready.
std::optional<struct stat> entryIfAny(const DriveTable& drives, const QString& path)
{
    try {
        const HostLocation location = locate(drives, path, DeviceUnavailable);
        struct stat status {};
        if (location.exists && statHost(location.path(), status))
            return status;
    } catch (const runtime::RuntimeError&) {
    }
    return std::nullopt;
}

FileId idOf(const struct stat& status) { return {status.st_dev, status.st_ino}; }

runtime::Date localDate(const struct stat& status)
{
    std::tm local{};
    const std::time_t seconds = status.st_mtim.tv_sec;
    localtime_r(&seconds, &local);
    return runtime::makeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                             local.tm_sec);
}

// A CD drive whose folder is empty holds no disc: a directory search on it
// fails as on an empty drive. Paths that name no valid drive are left to locate().
bool isCdWithoutDisc(const DriveTable& drives, const QString& folderPath)
{
    const std::optional<WindowsPathParts> parts = splitWindowsPath(folderPath);
    if (!parts || !drives.isMapped(parts->drive) || drives.kind(parts->drive) != DriveTable::Kind::CdRom)
        return false;
    return drives.root(parts->drive) && !drives.isReady(parts->drive);
}

// What a directory search finds: the open host folder and its matching
// entries, sorted ignoring case.
struct FolderSearch {
    QString hostFolder;
    std::unique_ptr<HostFolder> folder;
    QList<HostFolderEntry> entries;
};

// Ordinary files, and folders when asked; other kinds (devices, sockets,
// pipes, broken links) are never listed.
bool passesKind(const HostFolder& folder, const HostFolderEntry& entry, bool withFolders)
{
    const unsigned char kind = folder.kindOf(entry);
    return kind == DT_REG || (withFolders && kind == DT_DIR);
}

// The entries of an open folder that a directory search lists, in its order.
QList<HostFolderEntry> matchingEntries(const HostFolder& folder, const QString& namePattern, int attributes)
{
    QList<HostFolderEntry> matching;
    if (!folder.isOpen())
        return matching;
    const bool withFolders = attributes & attr::Directory;
    const bool withHidden = attributes & attr::Hidden;
    const Wildcard wildcard(namePattern);
    for (HostFolderEntry& entry : folder.entries()) {
        if ((withHidden || !entry.name.startsWith(u'.')) && wildcard.matches(entry.name) &&
            passesKind(folder, entry, withFolders))
            matching += std::move(entry);
    }
    std::sort(matching.begin(), matching.end(),
              [](const HostFolderEntry& a, const HostFolderEntry& b) { return inSearchOrder(a.name, b.name); });
    return matching;
}

// The folder of a directory search, opened: 52 for a CD drive without a disc
// or a path that is no path; a missing folder is open on nothing.
FolderSearch openSearchFolder(const DriveTable& drives, const QString& folderPath)
{
    if (isCdWithoutDisc(drives, folderPath))
        runtime::raise(BadFileNameOrNumber);
    const HostLocation location = locate(drives, folderPath, BadFileNameOrNumber);
    return {location.path(), std::make_unique<HostFolder>(location.exists ? location.path() : QString()), {}};
}

FolderSearch searchFolder(const DriveTable& drives, const QString& pattern, int attributes)
{
    QString text = pattern;
    text.replace(u'/', u'\\');
    qsizetype split = text.lastIndexOf(u'\\') + 1;
    if (split == 0 && text.size() >= 2 && text[1] == u':')
        split = 2;
    QString namePattern = text.mid(split);
    if (namePattern.isEmpty())
        namePattern = QStringLiteral("*");

    FolderSearch found = openSearchFolder(drives, text.left(split));
    found.entries = matchingEntries(*found.folder, namePattern, attributes);
    return found;
}

int attributesOf(bool isFolder, bool ownerMayWrite, const QString& name)
{
    int attributes = isFolder ? attr::Directory : attr::Archive;
    if (!ownerMayWrite)
        attributes |= attr::ReadOnly;
    if (name.startsWith(u'.'))
        attributes |= attr::Hidden;
    return attributes;
}

// The host path with every link resolved, as bytes; empty when it cannot be resolved.
QByteArray canonicalHostPath(const QString& hostPath)
{
    char* resolved = ::realpath(hostBytes(hostPath).constData(), nullptr);
    const QByteArray path = resolved ? QByteArray(resolved) : QByteArray();
    ::free(resolved);
    return path;
}

// A symbolic link to a folder that holds it (as /usr/bin/X11 -> .) would make
// every walk below that folder endless, so it reads as a system entry, not a folder.
bool linksBackToItsFolders(const QString& hostFolder, const QString& name)
{
    const QByteArray target = canonicalHostPath(joinHostPath(hostFolder, name));
    const QByteArray folder = canonicalHostPath(hostFolder);
    return !target.isEmpty() && (target == "/" || folder == target || folder.startsWith(target + '/'));
}

int folderAttributes(const QString& hostFolder, const QString& name, bool isLink, bool ownerMayWrite)
{
    if (isLink && linksBackToItsFolders(hostFolder, name))
        return attr::System;
    return attributesOf(true, ownerMayWrite, name);
}

// The details of an entry the search found, from one stat of the host file
// (a second, of the link itself, only for a folder that may be a link).
// (QFileInfo asks the system several times for the same answers, and a
// QDateTime in local time looks at the time zone file again each time.)
DirEntry detailsOf(const HostFolder& folder, const QString& hostFolder, const HostFolderEntry& entry)
{
    DirEntry details;
    details.name = entry.name;
    details.hostBytes = entry.bytes;
    struct stat status {};
    if (::fstatat(folder.fd(), entry.bytes.constData(), &status, 0) != 0)
        return details;
    const bool isFolder = S_ISDIR(status.st_mode);
    const bool ownerMayWrite = (status.st_mode & S_IWUSR) != 0;
    struct stat link {};
    const bool mayBeLink = entry.type == DT_LNK || entry.type == DT_UNKNOWN;
    const bool isLink = isFolder && mayBeLink &&
        ::fstatat(folder.fd(), entry.bytes.constData(), &link, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(link.st_mode);
    details.attributes = isFolder ? folderAttributes(hostFolder, entry.hostName, isLink, ownerMayWrite)
                                  : attributesOf(false, ownerMayWrite, entry.name);
    details.size = isFolder ? 0 : std::int64_t(status.st_size);
    details.lastWrite = localDate(status);
    details.readable = true;
    details.id = idOf(status);
    return details;
}

QList<DirEntry> detailsOfAll(const HostFolder& folder, const QString& hostFolder,
                             const QList<HostFolderEntry>& entries)
{
    QList<DirEntry> details;
    details.reserve(entries.size());
    for (const HostFolderEntry& entry : entries)
        details += detailsOf(folder, hostFolder, entry);
    return details;
}

}  // namespace

FileSystem::FileSystem(DriveTable drives) : drives_(std::move(drives)) {}

QString FileSystem::hostPath(const QString& windowsPath) const
{
    return locate(drives_, windowsPath, DeviceUnavailable).path();
}

QString FileSystem::windowsPath(const QString& hostPath) const
{
    const QString path = absoluteHostPath(hostPath);
    std::optional<QChar> bestLetter;
    QString bestRoot;
    for (QChar letter : drives_.letters()) {
        const std::optional<QString> root = drives_.root(letter);
        if (root && holds(*root, path) && (!bestLetter || root->size() > bestRoot.size())) {
            bestLetter = letter;
            bestRoot = *root;
        }
    }
    if (!bestLetter)
        return {};
    const QChar letter = bestRoot == u"/" ? bestLetter->toUpper() : *bestLetter;
    QStringList components;
    for (const QString& component : path.mid(bestRoot.size()).split(u'/', Qt::SkipEmptyParts))
        components += drivePathNameOfHostText(component);
    return letter + QStringLiteral(":\\") + components.join(u'\\');
}

QString FileSystem::folderMatching(const QString& folderPath) const
{
    if (!folderPath.contains(u'?') || folderExists(folderPath))
        return folderPath;
    return matchFolder(drives_, folderPath).value_or(folderPath);
}

bool FileSystem::fileExists(const QString& path) const
{
    const std::optional<struct stat> status = entryIfAny(drives_, path);
    return status && S_ISREG(status->st_mode);
}

bool FileSystem::folderExists(const QString& path) const
{
    const std::optional<struct stat> status = entryIfAny(drives_, path);
    return status && S_ISDIR(status->st_mode);
}

QStringList FileSystem::dir(const QString& pattern, int attributes) const
{
    QStringList names;
    for (const HostFolderEntry& entry : searchFolder(drives_, pattern, attributes).entries)
        names += entry.name;
    return names;
}

QList<DirEntry> FileSystem::dirEntries(const QString& pattern, int attributes) const
{
    const FolderSearch found = searchFolder(drives_, pattern, attributes);
    return detailsOfAll(*found.folder, found.hostFolder, found.entries);
}

OpenFolder::OpenFolder() = default;
OpenFolder::~OpenFolder() = default;
OpenFolder::OpenFolder(OpenFolder&&) noexcept = default;
OpenFolder& OpenFolder::operator=(OpenFolder&&) noexcept = default;

bool OpenFolder::isOpen() const { return folder_ && folder_->isOpen(); }

OpenFolder FileSystem::openFolder(const QString& folderPath) const
{
    FolderSearch found = openSearchFolder(drives_, folderPath);
    OpenFolder folder;
    folder.hostPath_ = found.hostFolder;
    folder.folder_ = std::move(found.folder);
    return folder;
}

OpenFolder FileSystem::openFolder(const OpenFolder& parent, const DirEntry& subFolder) const
{
    OpenFolder folder;
    folder.hostPath_ = joinHostPath(parent.hostPath_, hostText(subFolder.hostBytes));
    if (parent.folder_)
        folder.folder_ = std::make_unique<HostFolder>(*parent.folder_, subFolder.hostBytes);
    return folder;
}

QList<DirEntry> FileSystem::dirEntries(const OpenFolder& folder, int attributes) const
{
    if (!folder.folder_)
        return {};
    return detailsOfAll(*folder.folder_, folder.hostPath_,
                        matchingEntries(*folder.folder_, QStringLiteral("*.*"), attributes));
}

int FileSystem::getAttr(const QString& path) const
{
    const HostLocation location = locate(drives_, path, DeviceUnavailable);
    struct stat status {};
    if (!location.exists || !statHost(location.path(), status))
        runtime::raise(FileNotFound);
    const bool ownerMayWrite = (status.st_mode & S_IWUSR) != 0;
    const bool isFolder = S_ISDIR(status.st_mode);
    const QString name = drivePathNameOfHostText(location.name);
    if (isFolder && !location.name.isEmpty()) {
        struct stat link {};
        const bool isLink = ::lstat(hostBytes(location.path()).constData(), &link) == 0 && S_ISLNK(link.st_mode);
        return folderAttributes(location.parent, location.name, isLink, ownerMayWrite);
    }
    return attributesOf(isFolder, ownerMayWrite, name);
}

FileId FileSystem::fileId(const QString& path) const { return idOf(existingEntry(drives_, path)); }

std::int64_t FileSystem::fileLen(const QString& path) const
{
    const struct stat status = existingEntry(drives_, path);
    return S_ISDIR(status.st_mode) ? 0 : std::int64_t(status.st_size);
}

runtime::Date FileSystem::fileDateTime(const QString& path) const
{
    return localDate(existingEntry(drives_, path));
}

}  // namespace platform

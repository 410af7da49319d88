#include "platform/FileSystem.h"

#include "platform/PathLookup.h"
#include "platform/Wildcard.h"
#include "runtime/RuntimeError.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <ctime>
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

bool isValidNamePattern(const QString& pattern)
{
    return std::none_of(pattern.begin(), pattern.end(), [](QChar c) {
        return c.unicode() < 32 || QStringView(u"<>|\":\\").contains(c);
    });
}

bool lessIgnoringCase(const QString& a, const QString& b)
{
    const int order = a.compare(b, Qt::CaseInsensitive);
    return order != 0 ? order < 0 : a < b;
}

// The entry must exist; raises 53 otherwise.
QFileInfo existingEntry(const DriveTable& drives, const QString& path)
{
    const HostLocation location = locate(drives, path, DeviceUnavailable);
    if (!location.exists)
        runtime::raise(FileNotFound);
    return QFileInfo(location.path());
}

// The entry, or nullopt when it is missing, the path is invalid or the drive is not ready.
std::optional<QFileInfo> entryIfAny(const DriveTable& drives, const QString& path)
{
    try {
        const HostLocation location = locate(drives, path, DeviceUnavailable);
        if (location.exists)
            return QFileInfo(location.path());
    } catch (const runtime::RuntimeError&) {
    }
    return std::nullopt;
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

// The names a directory search finds, and the host folder that holds them.
struct FolderNames {
    QString hostFolder;
    QStringList names;
};

FolderNames searchFolder(const DriveTable& drives, const QString& pattern, int attributes)
{
    QString text = pattern;
    text.replace(u'/', u'\\');
    qsizetype split = text.lastIndexOf(u'\\') + 1;
    if (split == 0 && text.size() >= 2 && text[1] == u':')
        split = 2;
    QString namePattern = text.mid(split);
    if (namePattern.isEmpty())
        namePattern = QStringLiteral("*");
    if (!isValidNamePattern(namePattern))
        runtime::raise(BadFileNameOrNumber);

    if (isCdWithoutDisc(drives, text.left(split)))
        runtime::raise(BadFileNameOrNumber);
    const HostLocation folder = locate(drives, text.left(split), BadFileNameOrNumber);
    if (!folder.exists || !QFileInfo(folder.path()).isDir())
        return {};

    QDir::Filters filters = QDir::Files | QDir::NoDotAndDotDot;
    if (attributes & attr::Directory)
        filters |= QDir::Dirs;
    if (attributes & attr::Hidden)
        filters |= QDir::Hidden;
    const Wildcard wildcard(namePattern);
    QStringList names;
    for (const QString& name : QDir(folder.path()).entryList(filters, QDir::Unsorted)) {
        if (wildcard.matches(name))
            names += name;
    }
    std::sort(names.begin(), names.end(), lessIgnoringCase);
    return {folder.path(), names};
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

// A symbolic link to a folder that holds it (as /usr/bin/X11 -> .) would make
// every walk below that folder endless, so it reads as a system entry, not a folder.
bool linksBackToItsFolders(const QString& hostFolder, const QString& name)
{
    const QString target = QFileInfo(joinHostPath(hostFolder, name)).canonicalFilePath();
    const QString folder = QFileInfo(hostFolder).canonicalFilePath();
    return !target.isEmpty() && (target == u"/" || folder == target || folder.startsWith(target + u'/'));
}

int folderAttributes(const QString& hostFolder, const QString& name, bool isLink, bool ownerMayWrite)
{
    if (isLink && linksBackToItsFolders(hostFolder, name))
        return attr::System;
    return attributesOf(true, ownerMayWrite, name);
}

// The details of an entry the search found, from one stat of the host file.
// (QFileInfo asks the system several times for the same answers, and a
// QDateTime in local time looks at the time zone file again each time.)
// `folder` is the open host folder, which spares the lookup of its path.
std::optional<DirEntry> detailsOf(int folder, const QString& hostFolder, const QString& name)
{
    const QByteArray hostName = QFile::encodeName(name);
    struct stat status {};
    if (::fstatat(folder, hostName.constData(), &status, 0) != 0)
        return std::nullopt;
    std::tm local{};
    const std::time_t seconds = status.st_mtim.tv_sec;
    localtime_r(&seconds, &local);
    const bool isFolder = S_ISDIR(status.st_mode);
    const bool ownerMayWrite = (status.st_mode & S_IWUSR) != 0;
    struct stat link {};
    const bool isLink = isFolder && ::fstatat(folder, hostName.constData(), &link, AT_SYMLINK_NOFOLLOW) == 0 &&
                        S_ISLNK(link.st_mode);
    return DirEntry{name,
                    isFolder ? folderAttributes(hostFolder, name, isLink, ownerMayWrite)
                             : attributesOf(false, ownerMayWrite, name),
                    isFolder ? 0 : std::int64_t(status.st_size),
                    runtime::makeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                                      local.tm_min, local.tm_sec),
                    true};
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
    QString rest = path.mid(bestRoot.size());
    if (rest.startsWith(u'/'))
        rest.remove(0, 1);
    return letter + QStringLiteral(":\\") + rest.replace(u'/', u'\\');
}

bool FileSystem::fileExists(const QString& path) const
{
    const std::optional<QFileInfo> entry = entryIfAny(drives_, path);
    return entry && entry->isFile();
}

bool FileSystem::folderExists(const QString& path) const
{
    const std::optional<QFileInfo> entry = entryIfAny(drives_, path);
    return entry && entry->isDir();
}

QStringList FileSystem::dir(const QString& pattern, int attributes) const
{
    return searchFolder(drives_, pattern, attributes).names;
}

QList<DirEntry> FileSystem::dirEntries(const QString& pattern, int attributes) const
{
    const FolderNames found = searchFolder(drives_, pattern, attributes);
    QList<DirEntry> entries;
    entries.reserve(found.names.size());
    const int folder = ::open(QFile::encodeName(found.hostFolder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (const QString& name : found.names) {
        const std::optional<WindowsPathParts> parts = splitWindowsPath(name);
        const bool reachable =
            folder >= 0 && parts && parts->components.size() == 1 && parts->components.front() == name;
        const std::optional<DirEntry> details = reachable ? detailsOf(folder, found.hostFolder, name) : std::nullopt;
        entries += details.value_or(DirEntry{name});
    }
    if (folder >= 0)
        ::close(folder);
    return entries;
}

int FileSystem::getAttr(const QString& path) const
{
    const HostLocation location = locate(drives_, path, DeviceUnavailable);
    if (!location.exists)
        runtime::raise(FileNotFound);
    const QFileInfo info(location.path());
    const bool ownerMayWrite = info.permission(QFileDevice::WriteOwner);
    if (info.isDir() && !location.name.isEmpty())
        return folderAttributes(location.parent, location.name, info.isSymLink(), ownerMayWrite);
    return attributesOf(info.isDir(), ownerMayWrite, location.name);
}

std::int64_t FileSystem::fileLen(const QString& path) const
{
    const QFileInfo info = existingEntry(drives_, path);
    return info.isDir() ? 0 : info.size();
}

runtime::Date FileSystem::fileDateTime(const QString& path) const
{
    return runtime::fromQDateTime(existingEntry(drives_, path).lastModified());
}

}  // namespace platform

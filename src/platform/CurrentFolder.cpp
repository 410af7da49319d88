#include "platform/CurrentFolder.h"

#include "platform/FileSystem.h"
#include "platform/HostNames.h"
#include "platform/Services.h"
#include "runtime/RuntimeError.h"

#include <QDir>

namespace platform {

namespace {

// The drive part of a path, when it starts with a letter and a colon.
std::optional<QChar> driveLetterOf(const QString& path)
{
    if (path.size() < 2 || path[1] != u':' || !path[0].isLetter())
        return std::nullopt;
    return path[0].toLower();
}

// A host path on the drive as the drive's folder path ("D:\" & the rest),
// each name as a drive path gives it.
QString onDrive(QChar letter, const QString& root, const QString& hostPath)
{
    QStringList names;
    for (const QString& name : hostPath.mid(root == u"/" ? 1 : root.size() + 1).split(u'/', Qt::SkipEmptyParts))
        names += drivePathNameOfHostText(name);
    return QString(letter.toUpper()) + QStringLiteral(":\\") + names.join(u'\\');
}

}  // namespace

QChar currentDriveLetter()
{
    const std::optional<QChar> letter = driveLetterOf(fileSystem().windowsPath(QDir::currentPath()));
    return letter.value_or(u'c');
}

QString currentFolderOf(QChar letter)
{
    const DriveTable& drives = fileSystem().drives();
    const std::optional<QString> root = drives.isReady(letter) ? drives.root(letter) : std::nullopt;
    if (!root)
        runtime::raise(runtime::err::DeviceUnavailable);
    const QString working = QDir::currentPath();
    const bool holdsWorking = *root == u"/" || working == *root || working.startsWith(*root + u'/');
    if (letter.toLower() == currentDriveLetter() && holdsWorking)
        return onDrive(letter, *root, working);
    return onDrive(letter, *root, *root);
}

QString folderListPath(const QString& path)
{
    const std::optional<QChar> letter = driveLetterOf(path);
    const bool driveAlone = letter && (path.size() == 2 || path[2] == u' ');
    if (driveAlone)
        return currentFolderOf(*letter);
    const FileSystem& files = fileSystem();
    const QString host = files.hostPath(path);
    const QChar drive = letter.value_or(u'c');
    if (!files.drives().isReady(drive))
        runtime::raise(runtime::err::DeviceUnavailable);
    if (!files.folderExists(path))
        runtime::raise(runtime::err::PathNotFound);
    const QString root = *files.drives().root(drive);
    return onDrive(drive, root, QDir::cleanPath(host));
}

}  // namespace platform

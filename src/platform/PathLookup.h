#pragma once
// How a Windows path finds its host file: the drive letter through the drive
// table, then each component by its exact name or, when that is absent, by a
// name that differs only in case (the first in sorted order when several do).
// Components are compared with the drive-path names of the host's entries
// (HostNames.h), so every name the host holds can be reached. A path with
// neither a drive nor a leading "\" is relative to the process's current folder.

#include <QChar>
#include <QString>
#include <QStringList>
#include <optional>

namespace platform {

class DriveTable;

struct WindowsPathParts {
    QChar drive;             // lower case; 'c' when the path names none
    QStringList components;  // without empty and "." parts, ".." applied
    bool relative = false;   // no drive and no leading "\": below the current folder
};

// nullopt when the text is no valid path: a drive that is no letter or a UNC
// path. Only "\" and "/" separate components; every other character,
// Windows' forbidden ones included, is part of a name.
std::optional<WindowsPathParts> splitWindowsPath(const QString& path);

// The order of a directory search's names: ignoring case, then exactly.
bool inSearchOrder(const QString& a, const QString& b);

// "folder/name", with the host root written once.
QString joinHostPath(const QString& folder, const QString& name);

// The host text of the entry of the host folder called name, exactly or
// ignoring case.
std::optional<QString> findEntry(const QString& folder, const QString& name);

// The host path of the components below a host folder, each the entry of
// that name or, when it is absent, one differing only in case; from the first
// component that is not there on, the components as written.
QString resolveBelow(const QString& root, const QStringList& components);

// A path's place on the host: its (resolved) parent folder and its last
// component, the name on disk when the entry exists, else as written.
struct HostLocation {
    QString parent;
    QString name;  // empty for a drive root
    bool exists = false;

    QString path() const { return name.isEmpty() ? parent : joinHostPath(parent, name); }
};

// Raises 52 for an invalid path and notReadyError when the drive is not
// mapped or not ready.
HostLocation locate(const DriveTable& drives, const QString& windowsPath, int notReadyError);

// The folder a drive path names when each component that no folder has as
// its name takes "?" as any one character: the drive path with every
// component as the folder holds it (a listing writes "?" for characters its
// code page lacks). nullopt when no folder matches or the drive is not ready.
std::optional<QString> matchFolder(const DriveTable& drives, const QString& windowsPath);

}  // namespace platform

#pragma once
// How a Windows path finds its host file: the drive letter through the drive
// table, then each component by its exact name or, when that is absent, by a
// name that differs only in case (the first in sorted order when several do).

#include <QChar>
#include <QString>
#include <QStringList>
#include <optional>

namespace platform {

class DriveTable;

struct WindowsPathParts {
    QChar drive;             // lower case; 'c' when the path names none
    QStringList components;  // without empty and "." parts, ".." applied
};

// nullopt when the text is no valid path: a drive that is no letter, a UNC
// path, or a character Windows forbids in names (<>|"*?: and controls).
std::optional<WindowsPathParts> splitWindowsPath(const QString& path);

// "folder/name", with the host root written once.
QString joinHostPath(const QString& folder, const QString& name);

// The entry of the host folder called name, exactly or ignoring case.
std::optional<QString> findEntry(const QString& folder, const QString& name);

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

}  // namespace platform

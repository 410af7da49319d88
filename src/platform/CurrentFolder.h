#pragma once
// The current drive and each drive's current folder, as the drive and folder
// lists start from them. The current drive is the one that holds the working
// folder, whose current folder is the working folder itself; every other drive
// starts at its root.

#include <QChar>
#include <QString>

namespace platform {

// The current drive's letter, lower case ('c' when no ready drive holds the
// working folder).
QChar currentDriveLetter();

// The drive's current folder as a folder list shows it ("D:\" at a root,
// "D:\Art\Clips" below it). Raises 68 when the drive is not mapped or not ready.
QString currentFolderOf(QChar letter);

// The folder named by `path` as the folder lists show it: its drive letter in
// upper case, the names as they are on the drive, no trailing backslash below
// the root. A drive alone ("d:", or a drive list entry "d: [LABEL]") names
// that drive's current folder. Raises 68 for a drive that is not ready, 52 for
// a drive that is no letter, 76 when the folder does not exist.
QString folderListPath(const QString& path);

}  // namespace platform

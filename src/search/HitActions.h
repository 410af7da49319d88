#pragma once
// Turning a hit row into a real file on disk, and the shell operations the
// search window and the image browser share.

#include <QString>
#include <optional>
#include <vector>

// What a hit row recorded of its file: the listing's volume, folder (without
// drive, between backslashes) and the name as listed (possibly cut short).
struct HitFile {
    QString volume;
    QString folder;
    QString name;
};

// Finds the hit's file: first under the first location whose description
// equals the volume, then on the CD drive. Returns the real name and sets
// `folder` (ending with "\") to the folder holding it; "" when not found.
// No row (nullopt) returns "" silently; a drive without a disc and other
// errors show their message first.
QString ResolveHitPath(const std::optional<HitFile>& row, QString& folder);

// The shell's "open" verb on a file, with its folder as working directory.
int ShellOpenFile(const QString& folder, const QString& name, long long ownerWindow);
// The shell's "open" verb on a folder.
int ShellOpenFolder(const QString& folder);
// The audio player's "enqueue" verb on a sound file.
int ShellEnqueueFile(const QString& folder, const QString& name, long long ownerWindow);

// Stores the names of the ordinary files matching `pattern` in names[index],
// names[index + 1], ... in the file system's order and leaves index at the
// element holding "". When the array is full it stops with index one past its
// last element, which then holds a name. Any error ends it silently.
void ListDirNames(const QString& pattern, std::vector<QString>& names, int& index);

// The show command the program passes with every shell verb (show default).
inline constexpr int ShowDefault = 10;

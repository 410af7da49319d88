#pragma once
// The file system as the program sees it: Windows paths ("C:\Art\Clips\x.gif")
// over the drive table, with the errors the classic runtime's file calls raise
// (52 bad file name, 53 file not found, 68 device unavailable, 75 path/file
// access error, 76 path not found). Lookup is case-insensitive per component
// when the exact name is absent. Names starting with "." are hidden.

#include "platform/DriveTable.h"
#include "runtime/DateTime.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

namespace platform {

namespace attr {
inline constexpr int Normal = 0;
inline constexpr int ReadOnly = 1;
inline constexpr int Hidden = 2;
inline constexpr int System = 4;
inline constexpr int Volume = 8;
inline constexpr int Directory = 16;
inline constexpr int Archive = 32;
}  // namespace attr

// Three 64-bit counts of 100 ns since 1 January 1601 (UTC).
struct FileTimes {
    std::uint64_t creation = 0;
    std::uint64_t lastAccess = 0;
    std::uint64_t lastWrite = 0;
};

struct FileId {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const FileId&) const = default;
    bool operator<(const FileId& other) const
    {
        return device != other.device ? device < other.device : inode < other.inode;
    }
};

// One name of a directory search with the details Windows' own search returns
// alongside it, read in the same pass.
struct DirEntry {
    QString name;
    int attributes = attr::Normal;
    std::int64_t size = 0;
    runtime::Date lastWrite = runtime::ZeroDate;
    // False when the entry could not be read (it went away, or it may not be
    // looked at): the details stay empty.
    bool readable = false;
    // The real file on its device, the same whichever link or name leads to it.
    FileId id;
    QByteArray hostBytes;  // the name on the disk
};

class HostFolder;

// A folder a walk holds open: its entries are read and its sub-folders opened
// relative to it, so no path is looked up again from the drive's root.
class OpenFolder {
public:
    OpenFolder();
    ~OpenFolder();
    OpenFolder(OpenFolder&&) noexcept;
    OpenFolder& operator=(OpenFolder&&) noexcept;

    bool isOpen() const;

private:
    friend class FileSystem;
    QString hostPath_;
    std::unique_ptr<HostFolder> folder_;
};

class FileSystem {
public:
    explicit FileSystem(DriveTable drives);

    const DriveTable& drives() const { return drives_; }
    DriveTable& drives() { return drives_; }

    // Windows path -> host path (host text, HostNames.h). A path without a
    // drive is relative to the current folder, one starting with "\" is taken
    // on c:; "/" works as "\", "." and ".." are applied. Every other character
    // is part of a name, the ones Windows forbids included. Raises 68 when the
    // drive is not mapped or not ready, 52 for a drive that is no letter or a
    // UNC path. Components that do not exist are kept as written.
    QString hostPath(const QString& windowsPath) const;
    // Host path -> Windows path on the drive whose root holds it most closely
    // ("/media/cd/Art/x.gif" -> "d:\Art\x.gif"); the host root gives "C:\...".
    // A drive's root ends in "\", no other path does. Empty when no ready drive
    // holds the path.
    QString windowsPath(const QString& hostPath) const;

    // The folder a listing names with "?" for each character its code page
    // lacks: when no folder has that name, each "?" matches any one character
    // and the result is the real folder's drive path (ending in "\"); the
    // path unchanged when it holds no "?", exists, or nothing matches.
    QString folderMatching(const QString& folderPath) const;

    bool fileExists(const QString& path) const;    // an ordinary file
    bool folderExists(const QString& path) const;  // a folder (drive roots included)

    // The classic Dir: the names (no folder part) that match the pattern's last
    // component ("*", "?", "*.*" matches names without a dot too), case-insensitive,
    // sorted ignoring case. Ordinary files always; folders too when attributes
    // include Directory; hidden entries only when they include Hidden. Never "." or "..".
    // Names are the drive-path names of the host's entries (HostNames.h), from
    // one reading of the folder; devices, sockets, pipes and broken links are
    // never listed. A drive that is not mapped or not ready (a CD drive whose
    // folder is empty holds no disc) raises 52;
    // a missing folder gives no names. A pattern ending in "\" lists the whole folder.
    QStringList dir(const QString& pattern, int attributes = attr::Normal) const;

    // As dir, with each entry's attributes, size and last-write time as getAttr,
    // fileLen and fileDateTime give them: one read of each entry, for walks.
    QList<DirEntry> dirEntries(const QString& pattern, int attributes = attr::Normal) const;

    // A folder for a walk, found as dirEntries finds it (raising as it does);
    // one that is missing is open on nothing.
    OpenFolder openFolder(const QString& folderPath) const;
    // A sub-folder that dirEntries of `parent` gave, opened relative to it;
    // not open when it has gone.
    OpenFolder openFolder(const OpenFolder& parent, const DirEntry& subFolder) const;
    // As dirEntries of the folder's "*.*", from the open folder.
    QList<DirEntry> dirEntries(const OpenFolder& folder, int attributes) const;

    // Directory or Archive, with ReadOnly when the owner may not write and
    // Hidden for names starting with ".". A symbolic link to a folder that
    // holds it is System alone, so no walk follows it round. 53 when missing.
    int getAttr(const QString& path) const;
    FileId fileId(const QString& path) const;           // 53 when missing
    std::int64_t fileLen(const QString& path) const;      // 0 for a folder; 53 when missing
    runtime::Date fileDateTime(const QString& path) const;  // last write, local; 53
    // The creation time is the birth time where the host file system records
    // it, else the last status change. Linux cannot set a creation time:
    // setFileTimes sets last access and last write, and a zero time leaves that
    // time as it is. Both raise 53 for a missing file (or a folder), 75 when refused.
    FileTimes fileTimes(const QString& path) const;
    void setFileTimes(const QString& path, const FileTimes& times);

    void mkDir(const QString& path);                  // 75 when it exists, 76 when the parent is missing
    // As mkDir, but only a folder of exactly that name exists already: beside
    // one whose name differs in case, the folder is made as written.
    void mkDirExact(const QString& path);
    void kill(const QString& path);                   // a file: 53 when missing, 75 when refused
    // Rename or move a file or folder: 53, 58 when the target exists (a change
    // of case only is allowed), 76 when the target's folder is missing, 75.
    void name(const QString& from, const QString& to);
    // Puts a file in place of another in one step, so a reader finds either the
    // old file or the new one whole, never neither: 53, 76 when the target's
    // folder is missing, 75 when the target is a folder or cannot be replaced.
    void replace(const QString& from, const QString& to);
    // Lookup ignores case, which suits paths read from listings; a file or
    // folder the program writes is to carry exactly its own name. When the
    // path's last component exists only under a name that differs in case,
    // that entry is renamed to the name as written; otherwise nothing happens.
    void matchCase(const QString& path);
    // Replaces an existing target whole (never half-written) and keeps the
    // source's last write time: 53, 76 when the target's folder is missing,
    // 75 when the target is a folder or cannot be written.
    void fileCopy(const QString& from, const QString& to);

private:
    DriveTable drives_;
};

}  // namespace platform

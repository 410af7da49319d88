#pragma once
// The file system as the program sees it: Windows paths ("C:\Art\Clips\x.gif")
// over the drive table, with the errors the classic runtime's file calls raise
// (52 bad file name, 53 file not found, 68 device unavailable, 75 path/file
// access error, 76 path not found). Lookup is case-insensitive per component
// when the exact name is absent. Names starting with "." are hidden.

#include "platform/DriveTable.h"
#include "runtime/DateTime.h"

#include <QString>
#include <QStringList>
#include <cstdint>

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

class FileSystem {
public:
    explicit FileSystem(DriveTable drives);

    const DriveTable& drives() const { return drives_; }
    DriveTable& drives() { return drives_; }

    // Windows path -> host path. A path without a drive is taken on c:. Raises
    // 68 when the drive is not mapped or not ready. Components that do not
    // exist are kept as written.
    QString hostPath(const QString& windowsPath) const;
    // Host path -> Windows path on the drive whose root holds it most closely
    // ("/media/cd/Art/x.gif" -> "d:\Art\x.gif"); the host root gives "C:\...".
    QString windowsPath(const QString& hostPath) const;

    bool fileExists(const QString& path) const;    // an ordinary file
    bool folderExists(const QString& path) const;  // a folder (drive roots included)

    // The classic Dir: the names (no folder part) that match the pattern's last
    // component ("*", "?", "*.*" matches names without a dot too), case-insensitive,
    // sorted ignoring case. Ordinary files always; folders too when attributes
    // include Directory; hidden entries only when they include Hidden. Never "." or "..".
    // A drive that is not ready raises 52; a missing folder gives no names.
    QStringList dir(const QString& pattern, int attributes = attr::Normal) const;

    int getAttr(const QString& path) const;               // 53 when missing
    std::int64_t fileLen(const QString& path) const;      // 53 when missing
    runtime::Date fileDateTime(const QString& path) const;  // last write, local; 53
    FileTimes fileTimes(const QString& path) const;       // 53
    void setFileTimes(const QString& path, const FileTimes& times);  // 53, 75

    void mkDir(const QString& path);                  // 75 when it exists, 76 when the parent is missing
    void kill(const QString& path);                   // 53 when missing, 75 when refused
    void name(const QString& from, const QString& to);  // rename: 53, 58 when the target exists, 75
    void fileCopy(const QString& from, const QString& to);  // 53, 75, 76

private:
    DriveTable drives_;
};

}  // namespace platform

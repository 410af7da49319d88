#pragma once
// Names on the host as the program holds them. Linux names are bytes: most
// are UTF-8, but old discs and archives bring names in other code pages, which
// Qt's own conversions cannot carry. Here every name keeps two forms:
// - its host text, which gives its bytes back whole (UTF-8 decoded, each byte
//   that is no part of valid UTF-8 held as the lone surrogate U+DC80 + byte),
//   used in host paths;
// - its drive-path name, the name a drive path uses to reach it (UTF-8
//   decoded; any other byte sequence read as Windows-1252; a backslash, which
//   would separate components, shown as a stand-in).
// Host paths with such names are opened through the bytes, never through Qt's
// file names.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>
#include <sys/stat.h>

class QFile;

namespace platform {

inline constexpr QChar BackslashStandIn = QChar(0xFF3C);  // fullwidth reverse solidus

QString hostText(QByteArrayView bytes);
QByteArray hostBytes(QStringView text);
QString drivePathName(QByteArrayView bytes);
// The drive-path form of one component of a host path's text.
QString drivePathNameOfHostText(const QString& hostName);

// One entry of a host folder. `type` is the entry's d_type (DT_DIR, DT_REG,
// DT_LNK, ...; DT_UNKNOWN where the file system does not say).
struct HostFolderEntry {
    QByteArray bytes;
    QString hostName;
    QString name;  // the drive-path name
    unsigned char type = 0;
};

// An open host folder: its entries from one readdir pass, and the folder's
// descriptor to look at each entry relative to it.
class HostFolder {
public:
    explicit HostFolder(const QString& hostPath);
    // The entry called `name` (its bytes) of an open folder, opened relative to it.
    HostFolder(const HostFolder& parent, const QByteArray& name);
    ~HostFolder();
    HostFolder(const HostFolder&) = delete;
    HostFolder& operator=(const HostFolder&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    // Every entry but "." and "..", in the folder's own order; none when the
    // folder could not be opened.
    QList<HostFolderEntry> entries() const;
    // True when the folder holds no entry (or cannot be read); stops at the first.
    bool isEmpty() const;
    // The entry's d_type once links are followed: DT_DIR, DT_REG, or
    // DT_UNKNOWN for anything else (devices, sockets, pipes, broken links).
    // Only links and entries of unknown kind cost a stat.
    unsigned char kindOf(const HostFolderEntry& entry) const;

private:
    int fd_ = -1;
};

// stat() of a host path (following links); false when it cannot be read.
bool statHost(const QString& hostPath, struct stat& status);
// True when the entry is there, a broken link included.
bool hostEntryExists(const QString& hostPath);
// Opens a host file for reading through its bytes.
bool openHostFileForReading(QFile& file, const QString& hostPath);

}  // namespace platform

#pragma once
// Reads the location archives the server sends. An archive is read whole
// once and its bytes are shared by every reply until the file changes, so a
// crowd of peers asking for the same archive at once holds one copy of it,
// not one each. A change is a new file in its place (as the rescan's packing
// leaves it), or another size, last-write or status-change time.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <optional>
#include <sys/stat.h>

class ArchiveReader {
public:
    // The file's bytes, nullopt when it cannot be read whole.
    std::optional<QByteArray> read(const QString& hostPath);

private:
    struct Entry {
        struct stat status {};
        QByteArray bytes;
    };
    QHash<QString, Entry> entries_;
};

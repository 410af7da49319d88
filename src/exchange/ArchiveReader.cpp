#include "exchange/ArchiveReader.h"

#include <QFile>

namespace {

bool sameTime(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           sameTime(a.st_mtim, b.st_mtim) && sameTime(a.st_ctim, b.st_ctim);
}

}  // namespace

std::optional<QByteArray> ArchiveReader::read(const QString& hostPath)
{
    QFile file(hostPath);
    struct stat status {};
    if (!file.open(QIODevice::ReadOnly) || ::fstat(file.handle(), &status) != 0)
        return std::nullopt;
    const auto known = entries_.constFind(hostPath);
    if (known != entries_.cend() && sameFile(known->status, status))
        return known->bytes;
    entries_.remove(hostPath);
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError || bytes.size() != status.st_size)
        return std::nullopt;
    entries_.insert(hostPath, {status, bytes});
    return bytes;
}

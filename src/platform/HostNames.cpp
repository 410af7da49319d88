#include "platform/HostNames.h"

#include "runtime/AnsiText.h"

#include <QFile>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr char16_t EscapeBase = 0xDC00;

bool isEscape(char16_t unit) { return unit >= 0xDC80 && unit <= 0xDCFF; }

// The length of the valid UTF-8 sequence at `at`, or 0 when there is none.
qsizetype utf8SequenceAt(QByteArrayView bytes, qsizetype at)
{
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80)
        return 1;
    qsizetype length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;   // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;  // nothing beyond U+10FFFF
    } else {
        return 0;
    }
    if (at + length > bytes.size() || byte(at + 1) < low || byte(at + 1) > high)
        return 0;
    for (qsizetype i = 2; i < length; ++i) {
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF)
            return 0;
    }
    return length;
}

bool isValidUtf8(QByteArrayView bytes)
{
    for (qsizetype at = 0; at < bytes.size();) {
        const qsizetype length = utf8SequenceAt(bytes, at);
        if (length == 0)
            return false;
        at += length;
    }
    return true;
}

QString withStandIn(QString name)
{
    return name.replace(u'\\', BackslashStandIn);
}

// Reads the folder from its start, calling `take` for each entry but "." and
// ".." until it returns false. The entries come from getdents64 on the
// folder's own descriptor: a directory stream would cost a walk five more
// system calls a folder.
template <typename Take>
void readEntries(int folderFd, Take take)
{
    if (folderFd < 0 || ::lseek(folderFd, 0, SEEK_SET) != 0)
        return;
    alignas(dirent64) char buffer[32 * 1024];
    for (ssize_t got; (got = ::getdents64(folderFd, buffer, sizeof buffer)) > 0;) {
        for (ssize_t at = 0; at < got;) {
            const auto* entry = reinterpret_cast<const dirent64*>(buffer + at);
            at += entry->d_reclen;
            const QByteArrayView bytes(entry->d_name);
            if (bytes != "." && bytes != ".." && !take(bytes, entry->d_type))
                return;
        }
    }
}

}  // namespace

QString hostText(QByteArrayView bytes)
{
    if (isValidUtf8(bytes))
        return QString::fromUtf8(bytes);
    QString text;
    text.reserve(bytes.size());
    for (qsizetype at = 0; at < bytes.size();) {
        const qsizetype length = utf8SequenceAt(bytes, at);
        if (length == 0) {
            text += QChar(char16_t(EscapeBase + static_cast<unsigned char>(bytes[at])));
            ++at;
        } else {
            text += QString::fromUtf8(bytes.sliced(at, length));
            at += length;
        }
    }
    return text;
}

QByteArray hostBytes(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        const bool pairedLow = i > 0 && text[i - 1].isHighSurrogate();
        if (!isEscape(unit) || pairedLow)
            continue;
        bytes += text.sliced(runStart, i - runStart).toUtf8();
        bytes += static_cast<char>(unit - EscapeBase);
        runStart = i + 1;
    }
    bytes += text.sliced(runStart).toUtf8();
    return bytes;
}

QString drivePathName(QByteArrayView bytes)
{
    return withStandIn(isValidUtf8(bytes) ? QString::fromUtf8(bytes) : runtime::fromAnsi(bytes.toByteArray()));
}

QString drivePathNameOfHostText(const QString& hostName)
{
    const bool escaped = std::any_of(hostName.begin(), hostName.end(), [](QChar c) { return isEscape(c.unicode()); });
    return escaped ? drivePathName(hostBytes(hostName)) : withStandIn(hostName);
}

HostFolder::HostFolder(const QString& hostPath)
    : fd_(::open(hostBytes(hostPath).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
}

HostFolder::HostFolder(const HostFolder& parent, const QByteArray& name)
    : fd_(parent.fd_ < 0 ? -1 : ::openat(parent.fd_, name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
}

HostFolder::~HostFolder()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool HostFolder::isEmpty() const
{
    bool empty = true;
    readEntries(fd_, [&](QByteArrayView, unsigned char) { return empty = false; });
    return empty;
}

QList<HostFolderEntry> HostFolder::entries() const
{
    QList<HostFolderEntry> entries;
    readEntries(fd_, [&](QByteArrayView bytes, unsigned char type) {
        HostFolderEntry item{bytes.toByteArray(), {}, {}, type};
        if (isValidUtf8(bytes)) {
            item.hostName = QString::fromUtf8(bytes);
            item.name = item.hostName.contains(u'\\') ? withStandIn(item.hostName) : item.hostName;
        } else {
            item.hostName = hostText(bytes);
            item.name = drivePathName(bytes);
        }
        entries += std::move(item);
        return true;
    });
    return entries;
}

unsigned char HostFolder::kindOf(const HostFolderEntry& entry) const
{
    if (entry.type == DT_DIR || entry.type == DT_REG)
        return entry.type;
    if (entry.type != DT_LNK && entry.type != DT_UNKNOWN)
        return DT_UNKNOWN;
    struct stat status {};
    if (::fstatat(fd_, entry.bytes.constData(), &status, 0) != 0)
        return DT_UNKNOWN;
    return S_ISDIR(status.st_mode) ? DT_DIR : S_ISREG(status.st_mode) ? DT_REG : DT_UNKNOWN;
}

bool statHost(const QString& hostPath, struct stat& status)
{
    return ::stat(hostBytes(hostPath).constData(), &status) == 0;
}

bool hostEntryExists(const QString& hostPath)
{
    struct stat status {};
    return ::lstat(hostBytes(hostPath).constData(), &status) == 0;
}

bool openHostFileForReading(QFile& file, const QString& hostPath)
{
    const int fd = ::open(hostBytes(hostPath).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    if (file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return true;
    ::close(fd);
    return false;
}

}  // namespace platform

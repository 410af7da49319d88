#include "platform/DriveTable.h"

#include "platform/HostNames.h"
#include "platform/Mounts.h"
#include "platform/SettingsStore.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace platform {

namespace {

const QString Application = QStringLiteral("Kest Velmora");
const QString DrivesSection = QStringLiteral("Drives");

QChar normalLetter(QChar letter) { return letter.toLower(); }

// The device a path names, with symbolic links (/dev/cdrom) followed.
QString canonicalDevice(const QString& device)
{
    const QString canonical = QFileInfo(device).canonicalFilePath();
    return canonical.isEmpty() ? device : canonical;
}

QString cleanFolder(const QString& folder)
{
    return QDir::cleanPath(QDir(folder).absolutePath());
}

std::optional<QString> currentMountPoint(const QString& device)
{
    QFile file(QStringLiteral("/proc/self/mounts"));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QString wanted = canonicalDevice(device);
    std::optional<QString> found;
    // The last mount of the device is the one on top.
    for (const MountEntry& entry : parseMounts(file.readAll())) {
        if (entry.device.startsWith(u'/') && canonicalDevice(entry.device) == wanted)
            found = entry.mountPoint;
    }
    return found;
}

QString labelOfDevice(const QString& device)
{
    const QString wanted = canonicalDevice(device);
    const QDir labels(QStringLiteral("/dev/disk/by-label"));
    for (const QFileInfo& link : labels.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
        if (link.canonicalFilePath() == wanted)
            return decodeLabelName(link.fileName());
    }
    return {};
}

// Block device names under /sys/block that start with the prefix, in
// natural order (sr2 before sr10).
QStringList blockDevices(const QString& prefix)
{
    QStringList names = QDir(QStringLiteral("/sys/block")).entryList({prefix + u'*'}, QDir::AllEntries | QDir::NoDotAndDotDot);
    QCollator natural;
    natural.setNumericMode(true);
    std::sort(names.begin(), names.end(), natural);
    return names;
}

bool isRemovable(const QString& blockName)
{
    QFile flag(QStringLiteral("/sys/block/%1/removable").arg(blockName));
    return flag.open(QIODevice::ReadOnly) && flag.readAll().trimmed() == "1";
}

// A removable disk's partitions (each a drive, as Windows shows them), or the
// disk itself when it has none.
QStringList removableVolumes(const QString& blockName)
{
    const QDir disk(QStringLiteral("/sys/block/") + blockName);
    QStringList volumes;
    for (const QString& child : disk.entryList({blockName + u'*'}, QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (QFileInfo::exists(disk.filePath(child) + QStringLiteral("/partition")))
            volumes += child;
    }
    if (volumes.isEmpty())
        volumes += blockName;
    QCollator natural;
    natural.setNumericMode(true);
    std::sort(volumes.begin(), volumes.end(), natural);
    return volumes;
}

}  // namespace

void DriveTable::mapFolder(QChar letter, const QString& hostFolder, Kind kind)
{
    entries_[normalLetter(letter)] = Entry{cleanFolder(hostFolder), {}, kind};
}

void DriveTable::mapDevice(QChar letter, const QString& devicePath, Kind kind)
{
    entries_[normalLetter(letter)] = Entry{{}, devicePath, kind};
}

void DriveTable::unmap(QChar letter) { entries_.remove(normalLetter(letter)); }

QList<QChar> DriveTable::letters() const { return entries_.keys(); }

bool DriveTable::isMapped(QChar letter) const { return entries_.contains(normalLetter(letter)); }

DriveTable::Kind DriveTable::kind(QChar letter) const
{
    return entries_.value(normalLetter(letter)).kind;
}

std::optional<QString> DriveTable::root(QChar letter) const
{
    const auto it = entries_.constFind(normalLetter(letter));
    if (it == entries_.constEnd())
        return std::nullopt;
    if (!it->device.isEmpty())
        return currentMountPoint(it->device);
    if (!QFileInfo(it->hostFolder).isDir())
        return std::nullopt;
    return it->hostFolder;
}

bool DriveTable::isReady(QChar letter) const
{
    const std::optional<QString> folder = root(letter);
    if (!folder)
        return false;
    // Any entry counts, a name Qt cannot read included.
    return kind(letter) != Kind::CdRom || !HostFolder(*folder).isEmpty();
}

QString DriveTable::volumeLabel(QChar letter) const
{
    const auto it = entries_.constFind(normalLetter(letter));
    if (it == entries_.constEnd())
        return {};
    if (it->device.isEmpty())
        return QFileInfo(it->hostFolder).fileName().toUpper();
    const QString label = labelOfDevice(it->device);
    if (!label.isEmpty())
        return label;
    const std::optional<QString> mountPoint = currentMountPoint(it->device);
    return mountPoint ? QFileInfo(*mountPoint).fileName() : QString();
}

DriveTable DriveTable::fromSystem(const SettingsStore& store)
{
    DriveTable table;
    table.mapFolder(u'c', QStringLiteral("/"));
    char16_t next = u'd';
    for (const QString& optical : blockDevices(QStringLiteral("sr"))) {
        if (next <= u'z')
            table.mapDevice(QChar(next++), QStringLiteral("/dev/") + optical, Kind::CdRom);
    }
    for (const QString& disk : blockDevices({})) {
        if (disk.startsWith(QStringLiteral("sr")) || !isRemovable(disk))
            continue;
        for (const QString& volume : removableVolumes(disk)) {
            if (next <= u'z')
                table.mapDevice(QChar(next++), QStringLiteral("/dev/") + volume, Kind::Removable);
        }
    }

    for (const QString& key : store.keys(Application, DrivesSection)) {
        const QString name = key.endsWith(u':') ? key.chopped(1) : key;
        if (name.size() != 1 || name[0].toLower() < u'a' || name[0].toLower() > u'z')
            continue;
        const QString target = store.get(Application, DrivesSection, key).trimmed();
        if (target.isEmpty())
            table.unmap(name[0]);
        else if (target.startsWith(QStringLiteral("/dev/")))
            table.mapDevice(name[0], target,
                            QFileInfo(canonicalDevice(target)).fileName().startsWith(QStringLiteral("sr"))
                                ? Kind::CdRom : Kind::Removable);
        else
            table.mapFolder(name[0], target);
    }
    return table;
}

}  // namespace platform

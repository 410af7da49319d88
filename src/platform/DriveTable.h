#pragma once
// The drive letters the program sees. "c:" is the host root "/"; optical and
// removable devices found on the machine get the next letters, as Windows
// assigns them; the settings store (section "Drives", key = letter, value = a
// host folder or a /dev path) adds or overrides entries. A device's root is
// wherever it is mounted now (read from /proc/self/mounts at each use); a
// device that is not mounted, or a mapped folder that is missing, is a drive
// that is not ready.

#include <QChar>
#include <QList>
#include <QMap>
#include <QString>
#include <optional>

namespace platform {

class SettingsStore;

class DriveTable {
public:
    enum class Kind { Fixed, CdRom, Removable };

    void mapFolder(QChar letter, const QString& hostFolder, Kind kind = Kind::Fixed);
    void mapDevice(QChar letter, const QString& devicePath, Kind kind = Kind::CdRom);
    void unmap(QChar letter);

    // Mapped letters, lower case, in alphabetical order.
    QList<QChar> letters() const;
    bool isMapped(QChar letter) const;
    Kind kind(QChar letter) const;
    // The host folder that is the drive's root now (no trailing slash, "/" for
    // the host root); nullopt when the drive is not ready.
    std::optional<QString> root(QChar letter) const;
    // True when the drive can be read now: mapped, its root there, and for a
    // CD drive a disc in it (a CD drive's folder that is empty holds no disc).
    bool isReady(QChar letter) const;
    // The volume label: a device's mount label, else the folder's name (upper case).
    QString volumeLabel(QChar letter) const;

    // The table of this machine: c: = "/", then detected optical devices
    // (/dev/sr0, ...) and removable disks (each partition a drive) as d:, e:,
    // ...; then the store's entries (key "e" or "e:"; an empty value removes
    // the letter; a value starting with "/dev/" names a device).
    static DriveTable fromSystem(const SettingsStore& store);

private:
    struct Entry {
        QString hostFolder;
        QString device;
        Kind kind = Kind::Fixed;
    };
    QMap<QChar, Entry> entries_;
};

}  // namespace platform

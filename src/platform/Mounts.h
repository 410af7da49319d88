#pragma once
// Reading what the host has mounted, and the names udev gives disc labels.
// Free functions over text so they can be checked without real devices.

#include <QByteArray>
#include <QString>
#include <vector>

namespace platform {

struct MountEntry {
    QString device;      // "/dev/sr0"
    QString mountPoint;  // "/media/user/CLIP ART 1"
};

// The entries of /proc/self/mounts text, in file order, with the kernel's
// octal escapes ("\040" for a blank) decoded. Malformed lines are skipped.
std::vector<MountEntry> parseMounts(const QByteArray& text);

// A label from a /dev/disk/by-label name, with udev's "\x20" escapes decoded.
QString decodeLabelName(const QString& name);

}  // namespace platform

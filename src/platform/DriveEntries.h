#pragma once
// The entries of a drive list: each drive as its lower-case letter and colon,
// followed, when the drive is ready and has a volume label, by a blank and the
// label in brackets ("d: [CLIPART_01]"). The list's Drive text is its current
// entry; the drive itself is the part up to the first colon.

#include "platform/DriveTable.h"

#include <QString>
#include <QStringList>

namespace platform {

// One entry per mapped drive, in the table's order.
QStringList driveListEntries(const DriveTable& drives);

// The entry's text up to and including its first colon ("d: [CD]" -> "d:");
// a text without a colon is returned whole.
QString driveOfEntry(const QString& entry);

// The index of the entry for `drive` (its first letter, any case), or -1.
int findDriveEntry(const QStringList& entries, const QString& drive);

}  // namespace platform

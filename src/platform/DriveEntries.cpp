#include "platform/DriveEntries.h"

namespace platform {

QStringList driveListEntries(const DriveTable& drives)
{
    QStringList entries;
    for (const QChar letter : drives.letters()) {
        QString entry = QString(letter.toLower()) + u':';
        const QString label = drives.root(letter) ? drives.volumeLabel(letter) : QString();
        if (!label.isEmpty())
            entry += QStringLiteral(" [%1]").arg(label);
        entries.append(entry);
    }
    return entries;
}

QString driveOfEntry(const QString& entry)
{
    const qsizetype colon = entry.indexOf(u':');
    return colon < 0 ? entry : entry.left(colon + 1);
}

int findDriveEntry(const QStringList& entries, const QString& drive)
{
    if (drive.isEmpty())
        return -1;
    const QChar letter = drive.front().toLower();
    for (int i = 0; i < entries.size(); ++i) {
        if (entries[i].front().toLower() == letter)
            return i;
    }
    return -1;
}

}  // namespace platform

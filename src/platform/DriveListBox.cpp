#include "platform/DriveListBox.h"

#include "platform/CurrentFolder.h"
#include "platform/DriveEntries.h"
#include "platform/FileSystem.h"
#include "platform/Services.h"
#include "runtime/RuntimeError.h"

#include <QSignalBlocker>
#include <QTimer>
#include <algorithm>

namespace platform {

DriveListBox::DriveListBox(QWidget* parent) : QComboBox(parent)
{
    const QStringList entries = driveListEntries(fileSystem().drives());
    addItems(entries);
    setCurrentIndex(std::max(0, findDriveEntry(entries, QString(currentDriveLetter()))));
    connect(this, &QComboBox::currentIndexChanged, this, [this] {
        if (settingFromCode_)
            emit Change();
        else
            QTimer::singleShot(0, this, &DriveListBox::Change);
    });
}

void DriveListBox::setDrive(const QString& drive)
{
    if (drive.isEmpty())
        return;
    const int index = entryOf(drive);
    if (index < 0 || !fileSystem().drives().isReady(drive.front()))
        runtime::raise(runtime::err::DeviceUnavailable);
    settingFromCode_ = true;
    setCurrentIndex(index);
    settingFromCode_ = false;
}

void DriveListBox::showDriveOf(const QString& path)
{
    const int index = entryOf(path);
    if (index < 0)
        return;
    const QSignalBlocker quiet(this);
    setCurrentIndex(index);
}

int DriveListBox::entryOf(const QString& drive) const
{
    QStringList entries;
    for (int i = 0; i < count(); ++i)
        entries.append(itemText(i));
    return findDriveEntry(entries, drive);
}

}  // namespace platform

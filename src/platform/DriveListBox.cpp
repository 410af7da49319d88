#include "platform/DriveListBox.h"

#include "platform/CurrentFolder.h"
#include "platform/DriveEntries.h"
#include "platform/FileSystem.h"
#include "platform/Services.h"
#include "runtime/RuntimeError.h"

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
    QStringList entries;
    for (int i = 0; i < count(); ++i)
        entries.append(itemText(i));
    const int index = findDriveEntry(entries, drive);
    if (index < 0 || !fileSystem().drives().isReady(drive.front()))
        runtime::raise(runtime::err::DeviceUnavailable);
    settingFromCode_ = true;
    setCurrentIndex(index);
    settingFromCode_ = false;
}

}  // namespace platform

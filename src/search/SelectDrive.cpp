#include "search/SelectDrive.h"

#include "platform/CaptionFit.h"
#include "platform/FileSystem.h"
#include "platform/Services.h"
#include "runtime/RuntimeError.h"
#include "search/DialogFrame.h"
#include "platform/DriveEntries.h"
#include "search/ListSearch.h"

#include <QComboBox>
#include <QDir>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>

#include <algorithm>

SelectDrive::SelectDrive(QWidget* parent) : platform::FormWindow(parent)
{
    setupControls();
    connect(OKButton, &QPushButton::clicked, this, &SelectDrive::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &SelectDrive::CancelButton_Click);
    // Esc presses Cancel.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, CancelButton, &QPushButton::click);
}

void SelectDrive::setupControls()
{
    setWindowTitle(QStringLiteral("Brisca Viewer - CD Drive Selection"));
    makeFixedDialog(*this, 5010, 930);

    Label1 = new QLabel(QStringLiteral("Select the CD-Rom drive you wish to use from the drop down list."), this);
    platform::placeTwips(Label1, 180, 60, 4755, 255);

    Drive1 = new QComboBox(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    platform::placeTwips(Drive1, 180, 420, 2055, 315);
    Label1->setBuddy(Drive1);
    Drive1->setAccessibleName(QStringLiteral("CD-Rom drive"));

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    platform::placeTwips(OKButton, 2340, 420, 1095, 315);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    platform::placeTwips(CancelButton, 3540, 420, 1215, 315);
    platform::fitCaptions(*this);
}

void SelectDrive::Form_Load()
{
    // The list starts on the current drive: the one holding the working folder.
    const QStringList entries = platform::driveListEntries(platform::fileSystem().drives());
    Drive1->addItems(entries);
    const QString current = platform::fileSystem().windowsPath(QDir::currentPath());
    Drive1->setCurrentIndex(std::max(0, platform::findDriveEntry(entries, current)));

    if (ListSearch.OffLineDrive.isEmpty())
        return;
    try {
        setDrive(ListSearch.OffLineDrive);
    } catch (const runtime::RuntimeError&) {
        // A stored drive that is gone: the list keeps its initial drive.
    }
}

void SelectDrive::setDrive(const QString& drive)
{
    QStringList entries;
    for (int i = 0; i < Drive1->count(); ++i)
        entries.append(Drive1->itemText(i));
    const int index = platform::findDriveEntry(entries, drive);
    if (index < 0)
        runtime::raise(runtime::err::DeviceUnavailable);
    Drive1->setCurrentIndex(index);
}

void SelectDrive::OKButton_Click()
{
    ListSearch.OffLineDrive = platform::driveOfEntry(Drive1->currentText());
    Unload();
}

void SelectDrive::CancelButton_Click()
{
    Unload();
}

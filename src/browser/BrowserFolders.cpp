// The browser's drive, folder and file lists, and the folder-change rules that
// start, stop and restart the thumbnail run.

#include "browser/Browser.h"

#include "platform/DirListBox.h"
#include "platform/DriveListBox.h"
#include "platform/FileListBox.h"
#include "platform/Forms.h"
#include "platform/Interaction.h"
#include "platform/Pump.h"
#include "platform/Services.h"
#include "runtime/RuntimeError.h"
#include "search/ListSearch.h"
#include "search/ShowImagePreview.h"

#include <QCheckBox>
#include <QPointer>
#include <array>
#include <functional>

namespace {

constexpr int MaxFolderChangeFailures = 1000;

}  // namespace

// A drive that cannot be opened leaves the folder list where it was, and the
// drive list goes back to the drive that folder is on.
void Browser::Drive1_Change()
{
    try {
        Dir1->setPath(Drive1->Drive());
    } catch (const runtime::RuntimeError& error) {
        Drive1->showDriveOf(Dir1->Path());
        if (error.number() == runtime::err::DeviceUnavailable)
            platform::interaction().msgBox(QStringLiteral("There is no disk in the selected Drive.\r\n\r\n"
                                                          "Make sure that the correct disk is in the drive."));
        else if (error.number() != runtime::err::ObjectVariableNotSet)
            platform::interaction().msgBox(QStringLiteral("Launch Error: ") + QString::number(error.number()) +
                                           u' ' + error.description());
    }
}

// A failing step is tried again, with messages pumped between, until the
// call has counted its 1000th failure.
void Browser::Dir1_Change()
{
    QPointer<Browser> self(this);
    const std::array<std::function<void()>, 2> steps = {
        [this] { File1->setPath(Dir1->Path()); },
        [this] { ListSearch.LastBrowsed = Dir1->Path(); },
    };
    int failures = 0;
    for (const std::function<void()>& step : steps) {
        for (;;) {
            try {
                step();
                break;
            } catch (const runtime::RuntimeError& error) {
                platform::doEvents();
                if (!self)
                    return;
                if (++failures >= MaxFolderChangeFailures) {
                    platform::interaction().msgBox(QStringLiteral("Error:") + error.description());
                    return;
                }
            }
        }
    }
    const bool due = AutoPrev->isChecked() && !ListSearch.CatMode;
    if (due) {
        if (ListSearch.PreviewBusy) {
            ListSearch.PreviewStop = true;
            ListSearch.PreviewRestart = true;
        } else if (ListSearch.QuitFlag) {
            Unload();
        } else {
            Command1_Click();
        }
    } else if (ListSearch.PreviewBusy) {
        ListSearch.PreviewStop = true;
    }
}

void Browser::File1_DblClick()
{
    const QString name = File1->FileName();
    if (hasPictureExtension(name))
        ShowImagePreview(File1->Path() + u'\\' + name);
}

void Browser::AutoPrev_Click() { ListSearch.AutoPreview = AutoPrev->isChecked(); }

void Browser::Command1_Click()
{
    ListSearch.PreviewBusy = true;
    PreviewFolder(Dir1->Path(), QString(), QString(), QString(), 0, QString());
    ListSearch.PreviewBusy = false;
}

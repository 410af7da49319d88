#include "exchange/UpdateZip.h"

#include "exchange/Progress.h"
#include "exchange/ZipEvents.h"
#include "platform/Forms.h"
#include "search/ListSearch.h"

#include <QLabel>
#include <QProgressBar>
#include <algorithm>
#include <vector>

namespace {

std::vector<const UpdateZip*>& liveControls()
{
    static std::vector<const UpdateZip*> controls;
    return controls;
}

}  // namespace

UpdateZip::UpdateZip(SearchForm& form) : form_(&form)
{
    liveControls().push_back(this);
    connect(this, &ZipControl::EntryInfo, this, &Zip_EntryInfo);
    connect(this, &ZipControl::ArchiveError, this, [this](int code) {
        Zip_ArchiveError(*this, code);
        stopWhenWindowGone();
    });
    connect(this, &ZipControl::Idle, this, [this] {
        Zip_Idle();
        stopWhenWindowGone();
    });
    connect(this, &ZipControl::Progress, this,
            [this](double percent, qint64 bytesDone, qint64 bytesTotal, int entriesDone, int entriesTotal) {
                Zip_Progress(percent, bytesDone, bytesTotal, entriesDone, entriesTotal);
                stopWhenWindowGone();
            });
}

UpdateZip::~UpdateZip() { std::erase(liveControls(), this); }

bool UpdateZip::windowGone() const { return searchWindowGone(form_); }

void UpdateZip::stopWhenWindowGone()
{
    if (windowGone())
        Stop();
}

bool UpdateZip::unpackIntoDataFolder(const QString& archiveFile, const QString& status)
{
    auto& progress = platform::Forms::get<::Progress>(QStringLiteral("Progress"));
    ZipOperation = Extract;
    ArchiveName = ListSearch.LocalFolder + archiveFile;
    ArchiveFolder = ListSearch.LocalFolder;
    FileMask = QStringLiteral("*.*");
    TargetFolder = ListSearch.LocalFolder;
    OverwriteFiles = true;
    progress.bar->setValue(0);
    progress.bar->setMaximum(100);
    progress.Status->setText(status);
    RunOperation();
    return !windowGone();
}

bool UpdateZip::anyBusy()
{
    return std::any_of(liveControls().begin(), liveControls().end(),
                       [](const UpdateZip* zip) { return zip->isBusy(); });
}

#include "exchange/CheckListing.h"

#include "exchange/Progress.h"
#include "exchange/ZipEvents.h"
#include "platform/FileSystem.h"
#include "platform/Forms.h"
#include "platform/Services.h"
#include "platform/ZipControl.h"
#include "search/ListSearch.h"
#include "search/SearchForm.h"

#include <QLabel>
#include <QProgressBar>

using platform::Forms;
using platform::ZipControl;

namespace {

const QString ProgressWindow = QStringLiteral("Progress");

// An ordinary file that a directory search finds (hidden files count as
// missing); a path ending in "\" names no file.
bool fileFound(const QString& path)
{
    return !path.endsWith(u'\\') && !platform::fileSystem().dir(path).isEmpty();
}

bool holdsAnyFile(const QString& folder)
{
    return !platform::fileSystem().dir(folder + u'*').isEmpty();
}

void unpackWithProgress(ZipControl& Zip)
{
    Forms::get(ProgressWindow).Show();
    extractUpdateArchive(Zip);
    Forms::unload(ProgressWindow);
}

}  // namespace

bool CheckListing(SearchForm& form)
{
    checkListing(zipControl(form), [&form] { form.Show(); });
    return false;
}

void checkListing(ZipControl& Zip, const std::function<void()>& showSearchWindow)
{
    if (ListSearch.TextFile.isEmpty())
        return;
    const bool listingFound = fileFound(ListSearch.LocalFolder + ListSearch.TextFile);
    const bool archiveFound = fileFound(ListSearch.LocalFolder + ListSearch.ArchiveFile);

    if (!listingFound) {
        if (!archiveFound)
            return;
        showSearchWindow();
        unpackWithProgress(Zip);
        ReadDefaults();
        return;
    }
    if (!holdsAnyFile(ListSearch.LocalFolder) || !archiveFound)
        return;

    ReadDefaults();
    if (!ListSearch.TextFile.isEmpty())
        ListSearch.ListFileDate = platform::fileSystem().fileDateTime(ListSearch.LocalFolder + ListSearch.TextFile);
    ListSearch.ArchiveNewer = false;
    Zip.ZipOperation = ZipControl::Inspect;
    Zip.ArchiveName = ListSearch.LocalFolder + ListSearch.ArchiveFile;
    Zip.FileMask = ListSearch.TextFile;
    Zip.RunOperation();
    if (ListSearch.ArchiveNewer) {
        ListSearch.ArchiveNewer = false;
        unpackWithProgress(Zip);
    }
}

void extractUpdateArchive(ZipControl& Zip)
{
    auto& progress = Forms::get<Progress>(ProgressWindow);
    Zip.ZipOperation = ZipControl::Extract;
    progress.Status->setText(QStringLiteral("Decompressing Compressed Data File."));
    Zip.ArchiveName = ListSearch.LocalFolder + ListSearch.ArchiveFile;
    Zip.ArchiveFolder = ListSearch.LocalFolder;
    Zip.FileMask = QStringLiteral("*.*");
    Zip.TargetFolder = ListSearch.LocalFolder;
    Zip.OverwriteFiles = true;
    progress.bar->setValue(0);
    progress.bar->setMaximum(100);
    Zip.RunOperation();
}

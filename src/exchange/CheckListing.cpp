#include "exchange/CheckListing.h"

#include "exchange/UpdateZip.h"
#include "platform/FileSystem.h"
#include "platform/Forms.h"
#include "platform/Services.h"
#include "search/ListSearch.h"
#include "search/SearchForm.h"

using platform::Forms;

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

// False when the search window went during the unpack.
bool unpackWithProgress(UpdateZip& Zip)
{
    Forms::get(ProgressWindow).Show();
    const bool unpacked =
        Zip.unpackIntoDataFolder(ListSearch.ArchiveFile, QStringLiteral("Decompressing Compressed Data File."));
    Forms::unload(ProgressWindow);
    return unpacked;
}

}  // namespace

bool CheckListing(SearchForm& form)
{
    if (ListSearch.TextFile.isEmpty())
        return false;
    const bool listingFound = fileFound(ListSearch.LocalFolder + ListSearch.TextFile);
    const bool archiveFound = fileFound(ListSearch.LocalFolder + ListSearch.ArchiveFile);
    UpdateZip Zip(form);

    if (!listingFound) {
        if (!archiveFound)
            return false;
        form.Show();
        if (unpackWithProgress(Zip))
            ReadDefaults();
        return false;
    }
    if (!holdsAnyFile(ListSearch.LocalFolder) || !archiveFound)
        return false;

    ReadDefaults();
    if (!ListSearch.TextFile.isEmpty())
        ListSearch.ListFileDate = platform::fileSystem().fileDateTime(ListSearch.LocalFolder + ListSearch.TextFile);
    ListSearch.ArchiveNewer = false;
    Zip.ZipOperation = UpdateZip::Inspect;
    Zip.ArchiveName = ListSearch.LocalFolder + ListSearch.ArchiveFile;
    Zip.FileMask = ListSearch.TextFile;
    Zip.RunOperation();
    if (Zip.windowGone() || !ListSearch.ArchiveNewer)
        return false;
    ListSearch.ArchiveNewer = false;
    unpackWithProgress(Zip);
    return false;
}

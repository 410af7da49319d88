// The program's start: the search window's load.

#include "search/SearchForm.h"

#include "platform/FileSystem.h"
#include "platform/Forms.h"
#include "platform/Interaction.h"
#include "platform/Pump.h"
#include "platform/Services.h"
#include "runtime/RuntimeError.h"
#include "search/ListSearch.h"
#include "search/Settings.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

using platform::Forms;

namespace {

QString versionText()
{
    return QStringLiteral("Ver:%1.%2(%3)")
        .arg(BRISCA_VERSION_MAJOR)
        .arg(BRISCA_VERSION_MINOR)
        .arg(BRISCA_VERSION_PATCH);
}

// The command line names the listing as the user typed it: a program path
// with a drive ("d:\lists\art.txt") is kept as written, a path of this
// machine ("/home/ann/art.txt", or relative to the working folder) becomes the
// drive path the program sees it under.
QString listingPathOf(const QString& commandLine)
{
    if (commandLine.size() >= 2 && commandLine[1] == u':')
        return commandLine;
    return platform::fileSystem().windowsPath(QFileInfo(commandLine).absoluteFilePath());
}

}  // namespace

// Any error of the load ends it silently: the steps after it are skipped and
// the start-up shows the window all the same. What the load did not read, the
// close leaves as stored.
void SearchForm::Form_Load()
{
    SndQTime->start();
    const QPointer<SearchForm> window(this);
    try {
        lblVer->setText(versionText());
        applyPlacement();
        if (!takeCommandLine())
            loadSettingsAndWindows();
    } catch (const runtime::RuntimeError&) {
    }
    // A window closed during its load may be deleted by now.
    if (window)
        unread_.loadEnded();
}

void SearchForm::applyPlacement() { applyWindowPlacement(QString(), *this); }

// True in command-line mode: the listing named exists and is all this run searches.
bool SearchForm::takeCommandLine()
{
    if (commandLine_.isEmpty())
        return false;
    ListSearch.TextFile = listingPathOf(commandLine_);
    if (platform::fileSystem().fileExists(ListSearch.TextFile)) {
        WebUpdate->setEnabled(false);
        OptionsMenu->setEnabled(false);
        ListSearch.NoSaveOnExit = true;
        return true;
    }
    platform::interaction().msgBox("Could not find file specified on command line. Using default file.");
    return false;
}

void SearchForm::loadSettingsAndWindows()
{
    ReadDefaults();
    ReadSettings(&unread_.keysRead);
    applyPlacement();
    if (ListSearch.LocalFolder.isEmpty() ||
        !platform::fileSystem().fileExists(ListSearch.LocalFolder + ListSearch.ArchiveFile))
        ListSearch.LocalFolder = programFolderWithBackslash();
    ReadLocations();
    unread_.locationsRead = true;
    // The user may close the window at every pump from here on, which deletes
    // it: the load then ends without touching it again.
    const QPointer<SearchForm> window(this);
    do {
        platform::doEvents();
        if (searchWindowGone(window))
            return;
        if (ListSearch.StopFlag)
            break;
    } while (CheckListing());
    platform::doEvents();
    if (searchWindowGone(window))
        return;
    if (ListSearch.OffLineDrive.isEmpty())
        Forms::get("SelectDrive").Show(true);
    if (searchWindowGone(window))
        return;
    Forms::get("Browser").Show();
    if (searchWindowGone(window))
        return;
    if (hooks_.StartPeerExchange)
        hooks_.StartPeerExchange(*this);
}

// The program's end: the search window's unload saves the settings and the
// locations and closes every window. While a rescan still runs beneath it, the
// window only hides, and the send-queue timer finishes the shutdown once the
// rescan has ended.

#include "search/SearchForm.h"

#include "platform/Forms.h"
#include "platform/Interaction.h"
#include "platform/Pump.h"
#include "platform/Services.h"
#include "runtime/RuntimeError.h"
#include "search/ListSearch.h"
#include "search/Settings.h"

#include <QTimer>

using platform::Forms;

bool searchWindowGone(const QPointer<SearchForm>& form)
{
    return !form || form->isUnloaded() || ListSearch.QuitFlag;
}

void SearchForm::MenuQuit_Click()
{
    ListSearch.QuitFlag = true;
    Unload();
}

void SearchForm::completeShutdown()
{
    finalShutdownPass_ = true;
    Unload();
}

void SearchForm::Form_Unload(bool& cancel)
{
    // While the shutdown waits for the rescan, only the timer's last pass ends it.
    if (shutdownDeferred_ && !finalShutdownPass_) {
        cancel = true;
        return;
    }
    saveOnExit();
    ListSearch.StopFlag = true;
    ListSearch.QuitFlag = true;
    Forms::setClosing(true);
    if (ListSearch.RescanBusy) {
        ListSearch.RescanStop = true;
        platform::doEvents();
    }
    for (const char* name : {"ImgPre", "Browser", "frmBrowser"})
        Forms::unload(name);
    if (ListSearch.RescanBusy) {
        // The rescan runs beneath this handler and still uses the window.
        SndQTime->start();
        shutdownDeferred_ = true;
        cancel = true;
        Hide();
        return;
    }
    closeSmallWindows();
}

// The settings are saved first, so a data folder that has gone missing costs
// only the location list, with a message; the shutdown goes on either way.
// Settings and locations the load never read are saved only when the run
// changed them.
void SearchForm::saveOnExit()
{
    if (ListSearch.NoSaveOnExit)
        return;
    ListSearch.NoSaveOnExit = true;
    try {
        WriteSettings([this](const QString& key, const QString& text) { return unread_.maySave(key, text); });
        if (!isMinimized())
            writePlacement(QString(), {static_cast<float>(Top()), static_cast<float>(Left()),
                                       static_cast<float>(Width()), static_cast<float>(Height())});
    } catch (const runtime::RuntimeError& error) {
        platform::interaction().msgBox("Could not save the settings." "\r\n" + error.description());
    }
    try {
        if (unread_.maySaveLocations())
            WriteLocations();
    } catch (const runtime::RuntimeError& error) {
        platform::interaction().msgBox("Could not save the search locations in " + ListSearch.LocalFolder +
                                       "locations.txt" "\r\n" + error.description());
    }
}

void SearchForm::closeSmallWindows()
{
    for (const char* name : {"frmSplash", "ListOptions", "LocalLoc", "Progress"})
        Forms::unload(name);
}

#include "exchange/SndQTime.h"

#include "platform/Forms.h"
#include "search/ListSearch.h"
#include "search/SearchForm.h"

#include <QTimer>

namespace {

// Waits while a rescan runs; then closes the remaining windows and the
// search window, which ends the program.
void quitBranch(SearchForm& form)
{
    if (ListSearch.RescanBusy)
        return;
    for (const char* name : {"frmSplash", "ListOptions", "LocalLoc", "Progress", "ImgPre", "Browser"})
        platform::Forms::unload(name);
    form.SndQTime->stop();
    form.completeShutdown();
}

}  // namespace

void SndQTime_Timer(SearchForm& form)
{
    if (ListSearch.QuitFlag)
        quitBranch(form);
}

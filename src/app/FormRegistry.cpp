#include "app/FormRegistry.h"

#include "app/ProgramHooks.h"
#include "browser/Browser.h"
#include "browser/Disp.h"
#include "browser/DistribSettings.h"
#include "exchange/Progress.h"
#include "platform/Forms.h"
#include "search/ImgPre.h"
#include "search/ListOptions.h"
#include "search/LocalLoc.h"
#include "search/SearchForm.h"
#include "search/SelectDrive.h"
#include "search/frmBrowser.h"
#include "search/frmSplash.h"

using platform::Forms;

namespace {

template <typename Window>
void registerWindow(const QString& name)
{
    Forms::registerForm(name, [] { return new Window; });
}

}  // namespace

void registerForms(const QString& commandLine)
{
    Forms::registerForm("SearchForm", [commandLine] { return new SearchForm(commandLine, searchHooks()); });
    registerWindow<LocalLoc>("LocalLoc");
    registerWindow<ListOptions>("ListOptions");
    registerWindow<SelectDrive>("SelectDrive");
    registerWindow<frmSplash>("frmSplash");
    registerWindow<frmBrowser>("frmBrowser");
    registerWindow<ImgPre>("ImgPre");
    registerWindow<Browser>("Browser");
    registerWindow<Disp>("Disp");
    registerWindow<DistribSettings>("DistribSettings");
    registerWindow<Progress>("Progress");
}

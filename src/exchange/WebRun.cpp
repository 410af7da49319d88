#include "exchange/WebRun.h"

#include "exchange/WebUpdate.h"
#include "platform/Pump.h"
#include "search/ListSearch.h"

WebRun::WebRun(SearchForm& form) : form_(&form), web_(&webControl(form)) {}

bool WebRun::windowGone() const
{
    return !form_ || form_->isUnloaded() || !web_ || ListSearch.QuitFlag;
}

bool WebRun::waitFor(const std::function<bool()>& ready, const std::function<bool()>& stop)
{
    while (web_->StillExecuting() && !ready()) {
        platform::waitForEvents();
        if (windowGone() || (stop && stop()))
            return false;
    }
    return true;
}

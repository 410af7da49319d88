#include "exchange/WebRun.h"

#include "exchange/WebUpdate.h"
#include "platform/Pump.h"

WebRun::WebRun(SearchForm& form) : form_(&form), web_(&webControl(form)) {}

bool WebRun::windowGone() const
{
    return searchWindowGone(form_) || !web_;
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

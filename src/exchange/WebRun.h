#pragma once
// What the two halves of a web update share (the question to the server and
// the download): the search window and its Web control, watched across every
// pump, since the user may close the window whenever messages are pumped.

#include "platform/InternetTransfer.h"
#include "search/SearchForm.h"

#include <QPointer>
#include <functional>

class WebRun {
public:
    explicit WebRun(SearchForm& form);

    // The search window has gone or is closing: the run ends without it.
    bool windowGone() const;
    // Pumps until `ready` holds or the request is over (complete or failed);
    // false when the window has gone or `stop` holds first.
    bool waitFor(const std::function<bool()>& ready, const std::function<bool()>& stop = {});

protected:
    QPointer<SearchForm> form_;
    QPointer<platform::InternetTransfer> web_;
};

#pragma once
// The search window's routines that belong to the update and exchange side of
// the program (the archive check, the web update, the send-queue timer, the
// peer exchange) and the rescan of the local locations. The window calls them
// through these hooks, which main() connects at start; a hook left empty does
// nothing.

#include <functional>

class SearchForm;

struct SearchHooks {
    // The archive check at start; the load repeats it while it returns true.
    std::function<bool(SearchForm&)> CheckListing;
    std::function<void(SearchForm&)> WebUpdate_Click;
    std::function<void(SearchForm&)> ReScan_Click;
    // Every tick of SndQTime: the send queue and the deferred shutdown.
    std::function<void(SearchForm&)> SndQTime_Timer;
    // The end of a normal start: the peer exchange listens and connects as set.
    std::function<void(SearchForm&)> StartPeerExchange;
};

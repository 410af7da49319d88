#include "app/ProgramHooks.h"

#include "exchange/CheckListing.h"
#include "exchange/PeerStart.h"
#include "exchange/SndQTime.h"
#include "exchange/WebUpdate.h"
#include "search/Rescan.h"

SearchHooks searchHooks()
{
    SearchHooks hooks;
    hooks.CheckListing = &CheckListing;
    hooks.ReScan_Click = &ReScan_Click;
    hooks.SndQTime_Timer = &SndQTime_Timer;
    hooks.WebUpdate_Click = &WebUpdate_Click;
    hooks.StartPeerExchange = &StartPeerExchange;
    return hooks;
}

#include "app/ProgramHooks.h"

#include "exchange/CheckListing.h"
#include "exchange/SndQTime.h"
#include "search/Rescan.h"

SearchHooks searchHooks()
{
    SearchHooks hooks;
    hooks.CheckListing = &CheckListing;
    hooks.ReScan_Click = &ReScan_Click;
    hooks.SndQTime_Timer = &SndQTime_Timer;
    return hooks;
}

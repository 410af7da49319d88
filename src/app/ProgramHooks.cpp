#include "app/ProgramHooks.h"

#include "exchange/SndQTime.h"

SearchHooks searchHooks()
{
    SearchHooks hooks;
    hooks.SndQTime_Timer = &SndQTime_Timer;
    return hooks;
}

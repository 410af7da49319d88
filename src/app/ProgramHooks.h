#pragma once
// The search window's routines that live in the update and exchange side of
// the program, connected when the program starts.

#include "search/SearchHooks.h"

SearchHooks searchHooks();

#pragma once
// The search window's 100 ms timer: it sends the peer exchange's queued
// messages and, once the program is closing, finishes a shutdown that waited
// for a rescan.

class SearchForm;

void SndQTime_Timer(SearchForm& form);

#pragma once
// The rescan of the local locations: each location's folder tree is walked
// into LocalFolder & N & ".tmp" (N = the description without blanks at its
// ends), which then takes the place of N & ".txt" and is packed alone into
// N & ".zip". The old listing stays in place until its replacement is
// complete, and a walk that a stop may have cut short replaces nothing: the
// location keeps the listing and archive it had. The search window's caption
// shows which location is in hand and is restored at the end. RescanBusy is set
// while a run lasts; a set RescanStop or StopFlag ends the run after the
// location in hand. An error other than the walk's own
// runs the failing step again; the 100th of a run ends it with
// "Error Refreshing Local Lists:", and error 32755 ends it silently (both
// leave the caption as it is).

class SearchForm;

// Rescans every location with the search window's caption and ZIPLoc control.
void RescanLocations(SearchForm& form);

// The menu command "Rescan Local Search Folders": the rescan under the busy
// pointer, with the command disabled while it runs.
void ReScan_Click(SearchForm& form);

#pragma once
// The update archive check at start. The main listing (LocalFolder & TextFile)
// arrives in the update archive (LocalFolder & ArchiveFile):
// - listing missing, archive present: the search window and the progress
//   window are shown while the whole archive is unpacked into the data folder,
//   then ReadDefaults runs;
// - both present: ReadDefaults runs, the archive is inspected for an entry
//   named TextFile that is two or more minute boundaries newer than the
//   listing, and only then is the whole archive unpacked;
// - otherwise nothing happens.
// Archive failures are shown by the Zip handlers and the start goes on; a
// defaults.txt too short (62) or a listing missing when its date is read (53)
// raises to the caller. Closing the search window at any pump of the check
// ends it there: nothing more is extracted or read.

class SearchForm;

// The search window's hook: runs the check once (the result is never true).
bool CheckListing(SearchForm& form);

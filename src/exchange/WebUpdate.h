#pragma once
// The "Web Update?" button: asks the update server (WebServer) for the headers
// of the update archive (ArchiveFile); when the server's copy is two or more
// minute boundaries newer than the local archive's time in UTC, offers it, and
// on Yes downloads it with the progress window (Cancel stops it) and unpacks
// it into the data folder, so the next search reads the new main listing.
//
// The download goes into a file beside the archive, which takes the archive's
// place only when it is complete (no transfer error, the announced length,
// and a readable zip archive); any other end leaves the old archive as it was.
// The button stays disabled while a run lasts. A run is refused while the
// archive check at start or a rescan's pack works. Closing the search window
// or the progress window during a run ends it, the progress window's close as
// a Cancel.

class SearchForm;

namespace platform {
class InternetTransfer;
}

void WebUpdate_Click(SearchForm& form);

// The search window's Internet transfer control "Web", made on first use.
platform::InternetTransfer& webControl(SearchForm& form);

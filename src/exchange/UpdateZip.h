#pragma once
// The zip control of one run of the archive check at start or of the web
// update, with the Zip handlers connected to its events. The run owns it, not
// the search window: the user may close the window at any pump of an
// operation, and the operation then stops at that pump, before any further
// handler runs; a file it had not finished writing stays as it was.

#include "platform/ZipControl.h"
#include "search/SearchForm.h"

class UpdateZip : public platform::ZipControl {
public:
    explicit UpdateZip(SearchForm& form);
    ~UpdateZip() override;

    // The search window has gone or is closing; an operation stops then.
    bool windowGone() const;

    // Unpacks every entry of the data folder's archive `archiveFile` into the
    // data folder, replacing files of the same name, while the progress window
    // shows `status` and its bar goes from 0 to 100. False when the search
    // window went meanwhile.
    bool unpackIntoDataFolder(const QString& archiveFile, const QString& status);

    // True while one works: its events pump messages, so a click can start
    // another run meanwhile.
    static bool anyBusy();

private:
    void stopWhenWindowGone();

    QPointer<SearchForm> form_;
};

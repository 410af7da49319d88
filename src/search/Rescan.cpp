#include "search/Rescan.h"

#include "platform/FileSystem.h"
#include "platform/Interaction.h"
#include "platform/NamedChild.h"
#include "platform/Pump.h"
#include "platform/Services.h"
#include "platform/ZipControl.h"
#include "runtime/AnsiText.h"
#include "runtime/RuntimeError.h"
#include "runtime/Strings.h"
#include "search/ListSearch.h"
#include "search/ListingWriter.h"
#include "search/SearchForm.h"

#include <QAction>
#include <QApplication>
#include <cstdint>
#include <functional>
#include <optional>

using platform::ZipControl;

namespace {

constexpr std::int16_t ErrorsThatEndARun = 100;

// The search window's zip control for the location archives, made on first use.
ZipControl& ZIPLoc(SearchForm& form) { return platform::namedChild<ZipControl>(form, QStringLiteral("ZIPLoc")); }

class RescanRun {
public:
    explicit RescanRun(SearchForm& form) : form_(form), zip_(ZIPLoc(form)) {}

    void run()
    {
        const QString keptCaption = form_.windowTitle();
        ListSearch.RescanBusy = true;
        // A stop asked of an earlier operation is not one for this run; a
        // program that is closing keeps its request.
        if (!ListSearch.QuitFlag)
            ListSearch.StopFlag = false;
        const std::int32_t count = ListSearch.LocCount;
        for (std::int32_t i = 1; i <= count; ++i) {
            const bool captioned = step([&] {
                form_.setWindowTitle(keptCaption + QStringLiteral(" Updating online file lists... ")
                                     + QString::number(i) + QStringLiteral(" of ")
                                     + QString::number(ListSearch.LocCount));
            });
            if (!captioned || !rescanLocation(i))
                return;
            if (ListSearch.RescanStop || walkStopped_) {
                ListSearch.RescanStop = false;
                break;
            }
        }
        if (step([&] { form_.setWindowTitle(keptCaption); }))
            ListSearch.RescanBusy = false;
    }

private:
    // Writes, puts in place and packs the listing of location i; false when
    // the run has ended on an error. A walk that StopFlag may have cut short
    // is thrown away: the location keeps its listing and archive as they were,
    // and the run ends after it.
    bool rescanLocation(std::int32_t i)
    {
        const QString volumeLabel = ListSearch.Locations[i][1];
        const QString folder = ListSearch.Locations[i][2];
        const QString base = ListSearch.LocalFolder + runtime::trimBlanks(volumeLabel);
        const QString listing = base + QStringLiteral(".txt");
        const QString written = base + QStringLiteral(".tmp");
        platform::FileSystem& fs = platform::fileSystem();
        const bool walked = step([&] {
                                  listing_.emplace(fs.hostPath(written), runtime::AnsiTextWriter::Mode::Output,
                                                   runtime::AnsiTextWriter::Encoding::AnsiOrUtf8);
                              })
                            && step([&] {
                                   WriteFolderListing(folder, QStringLiteral("*.*"), ListingFiles{&*listing_, nullptr},
                                                      volumeLabel, listingflags::File1Only, &shownMessages_);
                               })
                            && step([&] { closeListing(); });
        if (!walked)
            return false;
        if (ListSearch.StopFlag) {
            walkStopped_ = true;
            return step([&] { fs.kill(written); });
        }
        return step([&] { fs.replace(written, listing); }) && step([&] { pack(base); });
    }

    // Packs the listing alone: every other file of the data folder fails the
    // mask, and zip files are kept out.
    void pack(const QString& base)
    {
        const QString& localFolder = ListSearch.LocalFolder;
        zip_.ArchiveFolder = localFolder.left(localFolder.size() - 1);
        zip_.FileMask = base.mid(localFolder.size()) + QStringLiteral(".txt");
        zip_.ExcludeMask = QStringLiteral("*.zip");
        zip_.ZipOperation = ZipControl::Pack;
        zip_.ArchiveName = base + QStringLiteral(".zip");
        zip_.OverwriteFiles = true;
        zip_.CompressionLevel = 9;
        // A failed pack would leave an archive that no longer matches the
        // listing: it counts as an error of this step.
        if (const int code = zip_.PackFiles())
            runtime::raise(runtime::err::PathFileAccessError, zip_.ErrorText(code));
    }

    // Runs one step, again after each error; false when the run has ended.
    bool step(const std::function<void()>& action)
    {
        for (;;) {
            try {
                action();
                return true;
            } catch (const runtime::RuntimeError& error) {
                if (error.number() == runtime::err::CancelSelected)
                    return endRun();
                platform::doEvents();
                if (++errorCount_ < ErrorsThatEndARun)
                    continue;
                platform::interaction().msgBox(QStringLiteral("Error Refreshing Local Lists:") + error.description());
                return endRun();
            }
        }
    }

    bool endRun()
    {
        try {
            closeListing();
        } catch (const runtime::RuntimeError&) {
            // The run ends all the same.
        }
        ListSearch.RescanBusy = false;
        return false;
    }

    void closeListing()
    {
        if (!listing_)
            return;
        listing_->close();
        listing_.reset();
    }

    SearchForm& form_;
    ZipControl& zip_;
    std::optional<runtime::AnsiTextWriter> listing_;
    std::int16_t errorCount_ = 0;
    bool walkStopped_ = false;
    ShownMessages shownMessages_;  // each walk message once per run
};

}  // namespace

void RescanLocations(SearchForm& form)
{
    RescanRun(form).run();
}

void ReScan_Click(SearchForm& form)
{
    form.ReScan->setEnabled(false);
    QApplication::setOverrideCursor(Qt::BusyCursor);
    RescanLocations(form);
    form.ReScan->setEnabled(true);
    QApplication::restoreOverrideCursor();
}

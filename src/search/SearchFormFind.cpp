// The search over the listings: every location listing in list order (hits in
// blue), then the main listing (hits in red). The window pumps its messages at
// the engine's checkpoints, where a stop request ends the listing in hand.

#include "platform/FileSystem.h"
#include "platform/Interaction.h"
#include "platform/Pump.h"
#include "platform/Services.h"
#include "runtime/RuntimeError.h"
#include "runtime/Strings.h"
#include "search/HitListModel.h"
#include "search/ListSearch.h"
#include "search/ListingSearch.h"
#include "search/SearchForm.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <optional>

namespace {

const QColor LocationColour(0, 0, 255);
const QColor MainListingColour(255, 0, 0);

void reportMissing(const QString& path)
{
    platform::interaction().msgBox(QStringLiteral("Listing file not found: ") + path);
}

void reportUnreadable(const QString& path, const QString& reason)
{
    platform::interaction().msgBox(QStringLiteral("Listing file could not be read: ") + path +
                                   QStringLiteral("\r\n") + reason);
}

// How often the rows found reach the list while a search runs.
constexpr qint64 HitListRefreshMs = 100;

}  // namespace

void SearchForm::Find_Click()
{
    if (Find->text() != u"Find") {
        ListSearch.StopFlag = true;
        return;
    }
    const std::int16_t desiredMatch = desiredMatchOf(DesMatch->text());
    DesMatch->setText(QString::number(desiredMatch));
    const QString text = SearchStr->text().toLower();
    if (text.isEmpty())
        return;

    lblFound->setText(QStringLiteral("0"));
    Find->setText(QStringLiteral("Stop"));
    hitModel->clear();
    std::int32_t linesChecked = 0;
    // Closing the window while messages are pumped deletes it: the search then
    // ends without touching it again.
    const QPointer<SearchForm> window(this);
    const platform::FileSystem& fs = platform::fileSystem();
    const std::int32_t locationCount = ListSearch.LocCount;
    for (std::int32_t i = 1; i <= locationCount && window; ++i) {
        const QString listing = ListSearch.LocalFolder + runtime::trimBlanks(ListSearch.Locations[i][1]) + ".txt";
        if (fs.fileExists(listing))
            SearchListing(text, listing, desiredMatch, linesChecked, LocationColour);
        else
            reportMissing(listing);
    }
    if (!window)
        return;
    const QString mainListing = ListSearch.LocalFolder + ListSearch.TextFile;
    if (fs.fileExists(mainListing)) {
        SearchListing(text, mainListing, desiredMatch, linesChecked, MainListingColour);
        if (window)
            lblSearched->setText(QString::number(linesChecked));
    } else {
        reportMissing(mainListing);
    }
    if (window)
        Find->setText(QStringLiteral("Find"));
}

void SearchForm::MenuListAll_Click()
{
    SearchStr->setText(QStringLiteral("wmf"));
    Find_Click();
}

// The hits found are counted at each checkpoint, but reach the list only ten
// times a second (the first ones at once) and at the end of the listing: each
// batch makes the list lay out all its rows and repaint, which at every
// checkpoint would cost far more than the search between two checkpoints.
void SearchForm::SearchListing(const QString& InpStr, const QString& FileName, std::int16_t MinMatch,
                               std::int32_t& LinesChecked, const QColor& TextColor)
{
    std::vector<ListingHit> hits;  // found since the last checkpoint
    std::vector<HitRow> unshown;   // found, not yet in the list
    std::int32_t hitsFound = 0;
    QElapsedTimer sinceShown;
    sinceShown.start();
    const QPointer<SearchForm> window(this);
    const auto countHits = [&] {
        if (hits.empty())
            return;
        for (ListingHit& hit : hits)
            unshown.push_back(HitRow{std::move(hit), TextColor});
        hitsFound += static_cast<std::int32_t>(hits.size());
        hits.clear();
        lblFound->setText(QString::number(hitsFound));
    };
    const auto showRows = [&] {
        hitModel->appendRows(std::move(unshown));
        unshown.clear();
        sinceShown.restart();
    };
    const SearchCheckpoint checkpoint = [&](std::int32_t linesChecked) {
        countHits();
        if (!unshown.empty() && (hitModel->rowCount() == 0 || sinceShown.elapsed() >= HitListRefreshMs))
            showRows();
        lblSearched->setText(QString::number(linesChecked));
        platform::doEvents();
        if (!window)
            return true;
        if (!ListSearch.StopFlag)
            return false;
        lblSearched->setText(QString::number(linesChecked));
        ListSearch.StopFlag = false;
        return true;
    };

    // A listing that cannot be read keeps the hits found before the failure.
    std::optional<QString> failure;
    try {
        QFile file(platform::fileSystem().hostPath(FileName));
        if (file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            ::SearchListing(file, InpStr, MinMatch, LinesChecked, hits, checkpoint);
        else
            failure = file.errorString();
    } catch (const runtime::RuntimeError& error) {
        failure = error.description();
    }
    if (!window)
        return;
    countHits();
    showRows();
    lblSearched->setText(QString::number(LinesChecked));
    if (failure)
        reportUnreadable(FileName, *failure);
}

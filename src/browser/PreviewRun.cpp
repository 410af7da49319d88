// The folder thumbnail run: every picture of a folder made into a thumbnail
// and placed in the next cell of the browser's grid, with the catalogue's
// page cells and the distribution's drawings when a build runs it. The run
// pumps messages after every file; the user may close the window then, so the
// browser is reached only through a guarded pointer and the run ends quietly
// once it is gone.

#include "browser/PreviewRun.h"

#include "browser/Browser.h"
#include "browser/BuildErrors.h"
#include "browser/BuildSteps.h"
#include "browser/CdrPreview.h"
#include "browser/Disp.h"
#include "browser/ImageHelpers.h"
#include "platform/DirListBox.h"
#include "platform/FileSystem.h"
#include "platform/FlexGrid.h"
#include "platform/Forms.h"
#include "platform/Interaction.h"
#include "platform/Pump.h"
#include "platform/Services.h"
#include "runtime/RuntimeError.h"
#include "search/HitActions.h"
#include "search/ListSearch.h"

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <optional>

namespace {

constexpr int NameListSize = 8001;

QString withBackslash(const QString& path) { return path.endsWith(u'\\') ? path : path + u'\\'; }

QString previewErrorMessage(const runtime::RuntimeError& error)
{
    return QStringLiteral("Preview Error: ") + QString::number(error.number()) + u' ' + error.description();
}

class ThumbnailRun {
public:
    ThumbnailRun(Browser& browser, QString FolderName, QString ImageFolder, std::int16_t HTML, QString Relative)
        : browser_(&browser), FolderName_(std::move(FolderName)), ImageFolder_(std::move(ImageFolder)),
          HTML_(HTML), Relative_(std::move(Relative))
    {
    }
    ~ThumbnailRun() { platform::freeimage(img_); }

    void run(const QString& ProcessPath);

private:
    enum class Next { Go, End };

    Next setUp(const QString& ProcessPath);
    Next loadPicture(int i);
    // One file; End when the run has ended (an error, or the window gone).
    Next processFile(int i);
    Next makeThumbnail(int i);
    // The placeholder in the file's cell, with its name: the picture cannot be drawn.
    Next showPlaceholder(const QString& F);
    Next drawThumbnail(const GridPlace& place);
    Next placeInGrid(const GridPlace& place, const QString& F);
    // After each file: End when the run stops, Go to go on; a restart starts it over.
    Next stopCheck(bool& restarted);
    void finish();
    // Runs one statement under the run's error handling; End when the run ends.
    // A statement that reads the file readFile passes over only that file
    // where an error would end the run.
    Next attempt(const std::function<void()>& statement, const QString& readFile = {});
    void passOver(const QString& F, const runtime::RuntimeError& error, bool stopAsked);
    void endAfterError();
    bool gone() const { return !browser_ || browser_->isUnloaded(); }

    QPointer<Browser> browser_;
    const QString FolderName_;
    const QString ImageFolder_;
    const std::int16_t HTML_;
    const QString Relative_;
    QString P_;
    int n_ = 0;
    platform::imgdes img_;
    bool SkipPicture_ = false;
    bool undrawable_ = false;  // the file's picture was read but cannot be drawn
    std::int16_t ConvertStage_ = 0;
    QStringList thumbnails_;  // the thumbnails' names, one per picture
    QStringList drawings_;    // in a distribution, the drawings' names
    std::optional<CatalogueCells> cells_;
    PictureConversion conversion_;
    CatalogueTimes times_;
};

void ThumbnailRun::run(const QString& ProcessPath)
{
    if (setUp(ProcessPath) == Next::End)
        return;
    for (int i = 0; i < static_cast<int>(browser_->ProcList.size()); ++i) {
        if (processFile(i) == Next::End)
            return;
        bool restarted = false;
        if (stopCheck(restarted) == Next::End)
            return;
        if (restarted)
            i = -1;
    }
    finish();
}

ThumbnailRun::Next ThumbnailRun::setUp(const QString& ProcessPath)
{
    std::vector<QString> names(NameListSize);
    const Next next = attempt([&] {
        Browser& browser = *browser_;
        browser.GridCells.clear();
        browser.Command1->setEnabled(false);
        browser.Preview->Clear();
        for (int col : {0, 1, 2})
            browser.Preview->setColWidth(col, 1730);
        browser.Preview->setRowHeightMin(2600);
        P_ = withBackslash(ProcessPath);
        int index = 0;
        ListDirNames(P_ + QStringLiteral("*.*"), names, index);
        browser.ProcList.clear();
        startRunErrorRecord();
    });
    if (next == Next::End)
        return next;
    if (ListSearch.CatMode && ListSearch.DistribMode)
        showBatchProgress(QStringLiteral("Distribution Progress"), QStringLiteral("Starting Folder...") + FolderName_);
    else
        ListSearch.DistribOutFolder = P_;
    ListSearch.DistribOutFolder = withBackslash(ListSearch.DistribOutFolder);
    if (gone())
        return Next::End;
    browser_->ProcList = picturesToProcess(names);
    thumbnails_ = thumbnailNames(browser_->ProcList);
    if (ListSearch.CatMode && ListSearch.DistribMode)
        drawings_ = drawingNames(browser_->ProcList);
    n_ = 0;
    if (ListSearch.CatMode)
        cells_.emplace(HTML_, ImageFolder_, FolderName_, Relative_);
    return Next::Go;
}

ThumbnailRun::Next ThumbnailRun::processFile(int i)
{
    const QString F = browser_->ProcList[i];
    // The flag belongs to this file: a picture passed over never costs the next one its cell.
    SkipPicture_ = false;
    undrawable_ = false;
    if (ListSearch.CatMode && ListSearch.DistribMode) {
        showBatchProgress(QStringLiteral("Distribution Progress %1 of %2").arg(i).arg(browser_->ProcList.size() - 1),
                          QStringLiteral("Loading ") + F);
        if (gone())
            return Next::End;
    }
    const std::function<void()> nameHasItsExtension = [&] {
        if (F.size() < 4)
            runtime::raise(runtime::err::InvalidProcedureCall);
    };
    if (attempt(nameHasItsExtension, F) == Next::End)
        return Next::End;
    const QString thumbnail = thumbnailFile(ImageFolder_, FolderName_, thumbnails_[i]);
    const std::function<void()> readTimes = [&] {
        // A thumbnail left by an earlier build under the name in another case is this one.
        if (ListSearch.CatMode)
            platform::fileSystem().matchCase(thumbnail);
        times_ = readCatalogueTimes(P_ + F, thumbnail);
    };
    if (!SkipPicture_ && attempt(readTimes, F) == Next::End)
        return Next::End;
    if (!SkipPicture_ && loadPicture(i) == Next::End)
        return Next::End;
    if (!SkipPicture_ && makeThumbnail(i) == Next::End)
        return Next::End;
    if (undrawable_ && showPlaceholder(F) == Next::End)
        return Next::End;
    SkipPicture_ = false;
    ++n_;
    platform::doEvents();
    return gone() ? Next::End : Next::Go;
}

// A drawing shows its embedded preview, or the placeholder when it has none.
ThumbnailRun::Next ThumbnailRun::loadPicture(int i)
{
    const QString F = browser_->ProcList[i];
    const auto loadIntoPic = [this](const QString& path) {
        browser_->Pic = loadPictureForBox(path, ThumbnailWidth, ThumbnailHeight, ThumbnailAspect);
    };
    // A catalogue shows a thumbnail that is up to date as it is: it is the
    // fitted picture, and far quicker to read than the picture itself. A
    // damaged one is read past, and made again from the picture.
    const QString thumbnail = thumbnailFile(ImageFolder_, FolderName_, thumbnails_[i]);
    if (ListSearch.CatMode && thumbnailUpToDate(thumbnail, times_)) {
        try {
            loadIntoPic(thumbnail);
            return Next::Go;
        } catch (const runtime::RuntimeError&) {
            times_.thumbnailWritten = FILETIME{};
        }
    }
    // A drawing's preview is written out and loaded in two statements, each
    // under the run's error rules; a preview statement passed over loads nothing.
    QString file;
    bool found = false;
    if (attempt([&] { file = pictureFileToShow(P_, F); found = true; }, F) == Next::End)
        return Next::End;
    if (!found)
        return Next::Go;
    const auto previewGone = qScopeGuard(removeCdrPreview);
    return attempt([&] { loadIntoPic(file); }, F);
}

ThumbnailRun::Next ThumbnailRun::makeThumbnail(int i)
{
    const QString F = browser_->ProcList[i];
    const GridPlace place = placeOfThumbnail(n_);
    if (drawThumbnail(place) == Next::End)
        return Next::End;
    const QString drawing = i < drawings_.size() ? drawings_[i] : QString();
    const CataloguePicture picture{P_, F, thumbnails_[i], drawing};
    if (ListSearch.CatMode && attempt([&] { cells_->addPicture(picture, img_, times_); }) == Next::End)
        return Next::End;
    if (ListSearch.CatMode && ListSearch.DistribMode) {
        if (attempt([&] { conversion_.convert(P_, F, drawing, times_, ConvertStage_); }) == Next::End || gone())
            return Next::End;
    }
    return placeInGrid(place, F);
}

// Only the grid shows it: a catalogue page and a distribution take no picture
// that cannot be drawn. Without its placeholder the cell stays empty.
ThumbnailRun::Next ThumbnailRun::showPlaceholder(const QString& F)
{
    try {
        browser_->Pic = loadPictureForBox(placeholderPicture(), ThumbnailWidth, ThumbnailHeight, ThumbnailAspect);
    } catch (const runtime::RuntimeError&) {
        return Next::Go;
    }
    const GridPlace place = placeOfThumbnail(n_);
    if (drawThumbnail(place) == Next::End)
        return Next::End;
    return placeInGrid(place, F);
}

// The picture in Pic, fitted into a thumbnail in Hold's one cell.
ThumbnailRun::Next ThumbnailRun::drawThumbnail(const GridPlace& place)
{
    const std::vector<std::function<void()>> thumbnail = {
        [&] {
            browser_->Preview->setRows(place.rows);
            browser_->Preview->setRow(place.row);
            browser_->Preview->setCol(place.col);
        },
        [&] {
            setRunMousePointer(13);
            browser_->PicBox->setAutoSize(true);
            browser_->PicBox->setPicture(browser_->Pic);
        },
        [&] { CaptureBoxToImage(*browser_->PicBox, img_); },
        [&] { FitImageToBox(img_, ThumbnailWidth, ThumbnailHeight, ThumbnailAspect); },
        [&] {
            const std::optional<platform::Picture> cell = ImageToPicture(img_);
            browser_->PicBox->setPicture(cell.value_or(platform::Picture{}));
            browser_->Hold->setColWidth(0, 1730);
            browser_->Hold->setRowHeight(0, 2600);
            browser_->Hold->setCellPicture(cell ? cell->image : QImage());
        },
    };
    for (const std::function<void()>& statement : thumbnail) {
        if (attempt(statement) == Next::End)
            return Next::End;
    }
    return Next::Go;
}

ThumbnailRun::Next ThumbnailRun::placeInGrid(const GridPlace& place, const QString& F)
{
    setRunMousePointer(0);
    const Next shown = attempt([&] {
        browser_->PicBox->setAutoSize(false);
        browser_->PicBox->resize(platform::twipsToPixels(1670), platform::twipsToPixels(2540));
        browser_->Preview->setCellPicture(browser_->Hold->Picture());
        browser_->Preview->setCellPictureAlignment(platform::FlexGrid::AlignCenterCenter);
        browser_->Preview->setCellAccessibleName(F);
    });
    if (shown == Next::End)
        return Next::End;
    return attempt([&] { browser_->GridCells(place.row, place.col) = GridCell{P_, F}; });
}

// A folder change asks for a restart on the folder the list shows now; any
// other stop request ends the run here.
ThumbnailRun::Next ThumbnailRun::stopCheck(bool& restarted)
{
    if (!ListSearch.StopFlag && !ListSearch.PreviewStop)
        return Next::Go;
    if (ListSearch.PreviewRestart) {
        ListSearch.PreviewRestart = false;
        ListSearch.PreviewStop = false;
        platform::Forms::unload(DispFormName);
        if (gone() || setUp(browser_->Dir1->Path()) == Next::End)
            return Next::End;
        restarted = true;
        return Next::Go;
    }
    platform::freeimage(img_);
    ListSearch.PreviewBusy = false;
    ListSearch.PreviewStop = false;
    browser_->Command1->setEnabled(true);
    platform::Forms::unload(DispFormName);
    setRunMousePointer(0);
    return Next::End;
}

void ThumbnailRun::finish()
{
    platform::freeimage(img_);
    if (ListSearch.CatMode && cells_ && attempt([&] { cells_->finish(); }) == Next::End)
        return;
    conversion_.release();
    if (!gone())
        browser_->Command1->setEnabled(true);
}

ThumbnailRun::Next ThumbnailRun::attempt(const std::function<void()>& statement, const QString& readFile)
{
    for (int retries = 0;; ++retries) {
        try {
            statement();
            return Next::Go;
        } catch (const runtime::RuntimeError& error) {
            const bool stopAsked = ListSearch.StopFlag || ListSearch.PreviewStop;
            const RunErrorAction action = runErrorAction(error.number(), retries, ConvertStage_, stopAsked);
            switch (action) {
            case RunErrorAction::Retry:
                platform::doEvents();
                if (gone())
                    return Next::End;
                continue;
            case RunErrorAction::SkipPicture:
                SkipPicture_ = true;
                undrawable_ = true;
                return Next::Go;
            case RunErrorAction::GoOn:
                return Next::Go;
            case RunErrorAction::End:
            case RunErrorAction::EndWithMessage:
                break;
            }
            if (!readFile.isEmpty()) {
                passOver(readFile, error, stopAsked);
                return Next::Go;
            }
            // A build whose folders all meet one error (a full disk) says so once.
            const QString message = previewErrorMessage(error);
            if (action == RunErrorAction::EndWithMessage && firstInBuild(message))
                platform::interaction().msgBox(message);
            endAfterError();
            return Next::End;
        }
    }
}

// The file gets no cell, as an invalid picture; the rest of the folder goes on.
void ThumbnailRun::passOver(const QString& F, const runtime::RuntimeError& error, bool stopAsked)
{
    SkipPicture_ = true;
    const QString path = P_ + F;
    if (stopAsked || !firstInBuild(path))
        return;
    platform::interaction().msgBox(previewErrorMessage(error) + QStringLiteral(": ") + path);
}

// The run ends where it stands: the grid keeps what it has, and the button
// can start another run. The pointer goes back to its default.
void ThumbnailRun::endAfterError()
{
    platform::freeimage(img_);
    ListSearch.PreviewBusy = false;
    setRunMousePointer(0);
    if (!gone())
        browser_->Command1->setEnabled(true);
}

}  // namespace

// An unspecified failure is retried up to its bound and then is an ordinary
// error; error 1000 outside the CorelDRAW stage ends the run cleaned up, as
// error 53 does, so the preview button is never left disabled.
RunErrorAction runErrorAction(int number, int retries, std::int16_t ConvertStage, bool stopAsked)
{
    if (number == UnspecifiedFailure && retries < MaxUnspecifiedRetries)
        return RunErrorAction::Retry;
    switch (number) {
    case runtime::err::InvalidPicture:
        return RunErrorAction::SkipPicture;
    case runtime::err::InvalidPropertyValue:
    case runtime::err::PathNotFound:
        return RunErrorAction::GoOn;
    case ConversionError:
        return ConvertStage == 3 ? RunErrorAction::GoOn : RunErrorAction::End;
    case runtime::err::FileNotFound:
        return RunErrorAction::End;
    default:
        return stopAsked ? RunErrorAction::End : RunErrorAction::EndWithMessage;
    }
}

QStringList picturesToProcess(const std::vector<QString>& names)
{
    static const QStringList extensions = {"bmp", "gif", "jpg", "wmf", "emf", "cdr"};
    QStringList pictures;
    for (const QString& name : names) {
        if (name.isEmpty())
            break;
        if (extensions.contains(name.right(3).toLower()))
            pictures.append(name);
    }
    return pictures;
}

void setRunMousePointer(int shape)
{
    static bool busy = false;
    if (shape == 13 && !busy)
        QApplication::setOverrideCursor(Qt::BusyCursor);
    else if (shape == 0 && busy)
        QApplication::restoreOverrideCursor();
    else
        return;
    busy = shape == 13;
}

void Browser::PreviewFolder(QString ProcessPath, QString FolderName, QString ImageFolder, QString /*HtmlFolder*/,
                            std::int16_t HTML, QString Relative)
{
    ThumbnailRun run(*this, std::move(FolderName), std::move(ImageFolder), HTML, std::move(Relative));
    run.run(ProcessPath);
}

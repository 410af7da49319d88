// The browser's life: its load (lists, check box, the stored placement and an
// automatic first run once the window is up), its layout, its menus and its
// unload, which ends the program.

#include "browser/Browser.h"

#include "browser/BrowserLayout.h"
#include "browser/BuildSteps.h"
#include "platform/DirListBox.h"
#include "platform/DriveListBox.h"
#include "platform/FlexGrid.h"
#include "platform/Forms.h"
#include "platform/Interaction.h"
#include "platform/Pump.h"
#include "platform/Services.h"
#include "runtime/RuntimeError.h"
#include "search/ListSearch.h"
#include "search/Settings.h"

#include <QCheckBox>
#include <QLabel>
#include <QPointer>

using platform::Forms;

namespace {

const QString NoCdMessage = QStringLiteral(
    "There is no CD in your selected CD Drive.\r\n\r\n"
    "Make sure that the correct CD is in the drive when opening the image browser.\r\n\r\n"
    "If you want to select a diferent drive letter for files on CD"
    " pick a Select CD Drive on the File menu of the search window.");

}  // namespace

void Browser::Form_Load()
{
    QPointer<Browser> self(this);
    try {
        setUpGridColumns();
        Drive1->setDrive(ListSearch.OffLineDrive);
        if (!ListSearch.LastBrowsed.isEmpty())
            Dir1->setPath(ListSearch.LastBrowsed);
        if (!self)
            return;
        AutoPrev->setChecked(ListSearch.AutoPreview);
        // The first run fills a window already on screen, as a run the button
        // starts does: run inside the load, it would keep the window hidden
        // until the whole folder is done.
        if (AutoPrev->isChecked())
            QMetaObject::invokeMethod(this, &Browser::startFirstRun, Qt::QueuedConnection);
        applyWindowPlacement(QStringLiteral("B"), *this);
        // The width goes back to the fixed one now, before the window is on
        // screen: resized while the window manager maps it, the window would
        // lose its frame's place and open a title bar higher at every start.
        Form_Resize();
    } catch (const runtime::RuntimeError& error) {
        if (!self)
            return;
        switch (error.number()) {
        case runtime::err::DeviceUnavailable:
            platform::interaction().msgBox(NoCdMessage);
            break;
        case runtime::err::PathNotFound:
        case runtime::err::ObjectVariableNotSet:
            break;
        default:
            platform::interaction().msgBox(QStringLiteral("Launch Error: ") + QString::number(error.number()) +
                                           u' ' + error.description());
        }
    }
}

// A run the user started meanwhile (by opening a folder) has taken its place.
void Browser::startFirstRun()
{
    if (!isUnloaded() && !ListSearch.PreviewBusy)
        Command1_Click();
}

// The width is fixed, except when maximised; the grid is as high as its rows
// or reaches down to its margin, and the hint stays under it.
void Browser::Form_Resize()
{
    if (isMinimized() || !Preview)
        return;
    if (!isMaximized() && !isFullScreen() && Width() != BrowserWidth)
        setWidth(BrowserWidth);
    const double clientHeight = ScaleHeight();
    const double gridHeight = previewGridHeight(Preview->RowHeightMin(), Preview->Rows(), clientHeight);
    Preview->resize(Preview->width(), std::max(0, platform::twipsToPixels(gridHeight)));
    platform::placeTwips(InfoLbl, 3960, infoLabelTop(clientHeight), 5475, 255);
}

void Browser::Form_Unload(bool& /*cancel*/)
{
    const platform::FormWindow* search = Forms::find(QStringLiteral("SearchForm"));
    if (!search || !search->isMinimized())
        savePlacement();
    ListSearch.StopFlag = true;
    ListSearch.QuitFlag = true;
    platform::doEvents();
    for (const char* name : {"SearchForm", "Disp", "DistribSettings"})
        Forms::unload(QString::fromLatin1(name));
}

// A minimised or maximised browser stores its last normal placement.
void Browser::savePlacement()
{
    WindowPlacement placement{static_cast<float>(Top()), static_cast<float>(Left()),
                              static_cast<float>(Width()), static_cast<float>(Height())};
    if (isMinimized() || isMaximized()) {
        const QRect normal = normalGeometry();
        const QSize frame = frameGeometry().size() - size();
        placement = {static_cast<float>(platform::pixelsToTwips(normal.top())),
                     static_cast<float>(platform::pixelsToTwips(normal.left())),
                     static_cast<float>(platform::pixelsToTwips(normal.width() + frame.width())),
                     static_cast<float>(platform::pixelsToTwips(normal.height() + frame.height()))};
    }
    try {
        writePlacement(QStringLiteral("B"), placement);
    } catch (const runtime::RuntimeError&) {
        // The placement is not worth stopping the program's end for.
    }
}

void Browser::SelectMnu_Click()
{
    try {
        Forms::get(QStringLiteral("SelectDrive")).Show(true);
    } catch (const runtime::RuntimeError&) {
        // The program is closing.
    }
}

void Browser::AboutMnu_Click()
{
    try {
        Forms::get(QStringLiteral("frmSplash")).Show(true, this);
    } catch (const runtime::RuntimeError&) {
    }
}

void Browser::TutorialMnu_Click()
{
    try {
        platform::FormWindow& tutorial = Forms::instance(QStringLiteral("frmBrowser"));
        tutorial.setProperty("StartingAddress", programFolderWithBackslash() + QStringLiteral("ViewerTut.htm"));
        tutorial.Show();
    } catch (const runtime::RuntimeError&) {
    }
}

void Browser::CreateCat_Click() { startCatalogueBuild(*this); }

void Browser::CreateDistrib_Click() { startDistributionBuild(*this); }

void Browser::QuitMnu_Click()
{
    QPointer<Browser> self(this);
    ListSearch.QuitFlag = true;
    for (const char* name : {"SearchForm", "Disp", "DistribSettings"})
        Forms::unload(QString::fromLatin1(name));
    if (self && !self->isUnloaded())
        self->Unload();
}

// The browser window's controls and menus, and what each one runs.

#include "browser/Browser.h"

#include "browser/BrowserLayout.h"
#include "platform/CaptionFit.h"
#include "platform/DirListBox.h"
#include "platform/DriveListBox.h"
#include "platform/FileListBox.h"
#include "platform/FlexGrid.h"
#include "platform/Pump.h"
#include "runtime/RuntimeError.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

using platform::placeTwips;

namespace {

// Places outside the visible part of the window for the controls that only
// draw, render or hold things.
constexpr double HiddenLeft = -20000;

QLabel* makeLabel(QWidget* parent, const QString& text, double left, double top, double width, double height)
{
    auto* label = new QLabel(text, parent);
    placeTwips(label, left, top, width, height);
    return label;
}

}  // namespace

Browser::Browser(QWidget* parent) : platform::FormWindow(parent)
{
    setupControls();
    setupLists();
    setupGrid();
    setupMenus();
    setupPopUp();
    platform::fitCaptions(*this);
    connectHandlers();
}

void Browser::setupControls()
{
    setWindowTitle(QStringLiteral("Brisca Viewer - Image Browser"));
    setClientSize(9480, 5655);
    move(platform::twipsToPixels(120), platform::twipsToPixels(810));

    Label1[0] = makeLabel(this, QStringLiteral("Drive:"), 180, 120, 615, 255);
    Label1[3] = makeLabel(this, QStringLiteral("Double Click to select folder."), 180, 2160, 3555, 255);
    Label1[2] = makeLabel(this, QStringLiteral("Selected Folder Contents"), 120, 2880, 3555, 255);
    Label1[4] = makeLabel(this, QStringLiteral("Double-Click ^ to Preview Image Files"), 120, 4440, 3555, 255);
    Label1[1] = makeLabel(this, QStringLiteral("Selected Picture Description ->"), 120, 4740, 3555, 255);

    FileDesc = new QLabel(this);
    placeTwips(FileDesc, 120, 4980, 3555, 615);
    FileDesc->setWordWrap(true);
    FileDesc->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // No accessible name of its own: assistive tools read the file name it
    // shows, and its tool tip tells what that is.
    FileDesc->setToolTip(
        QStringLiteral("This displays the file name of the image selected in the preview area to the right."));

    InfoLbl = makeLabel(this, QStringLiteral("Right-Click on a picture for picture options."), 3960, 5400, 5475, 255);
}

// Made in the order the keyboard goes through them, as the eye does: the
// drive, the folders, the preview button and box, the files.
void Browser::setupLists()
{
    Drive1 = new platform::DriveListBox(this);
    placeTwips(Drive1, 780, 60, 2955, 315);
    Drive1->setToolTip(QStringLiteral("Pick the drive containing your images from the drop down list."));
    Label1[0]->setBuddy(Drive1);
    Drive1->setAccessibleName(QStringLiteral("Drive"));

    Dir1 = new platform::DirListBox(this);
    placeTwips(Dir1, 180, 420, 3530, 1665);
    Dir1->setToolTip(QStringLiteral(
        "Double Click on folders to navigate to the folder containing the images you want to preview."));
    Label1[3]->setBuddy(Dir1);
    Dir1->setAccessibleName(QStringLiteral("Folders"));

    Command1 = new QPushButton(QStringLiteral("Preview Selected Folder"), this);
    placeTwips(Command1, 180, 2460, 2115, 315);
    Command1->setToolTip(QStringLiteral("Click here to display thumnails of the imaged in the selected folder."));
    QPalette buttonColours = Command1->palette();
    buttonColours.setColor(QPalette::Button, QColor(255, 192, 192));
    Command1->setPalette(buttonColours);

    AutoPrev = new QCheckBox(QStringLiteral("Auto Preview"), this);
    placeTwips(AutoPrev, 2400, 2460, 1335, 315);

    File1 = new platform::FileListBox(this);
    placeTwips(File1, 120, 3120, 3555, 1260);
    File1->setToolTip(QStringLiteral("Displays a list of the files in the curently selected folder."));
    Label1[2]->setBuddy(File1);
    File1->setAccessibleName(QStringLiteral("Selected Folder Contents"));
    try {
        File1->setPath(Dir1->Path());
    } catch (const runtime::RuntimeError&) {
        // The current folder cannot be listed: the list starts empty.
    }
}

void Browser::setupGrid()
{
    Preview = new platform::FlexGrid(this);
    placeTwips(Preview, 3900, 60, 5520, 5295);
    Preview->setCols(3);
    Preview->setRows(3);
    Preview->setAccessibleName(QStringLiteral("Thumbnails"));
    setUpGridColumns();

    // Hidden, so neither the keyboard nor an assistive tool lands on it.
    Hold = new platform::FlexGrid(this);
    Hold->setRows(1);
    Hold->setCols(1);
    placeTwips(Hold, HiddenLeft, 0, ThumbnailColWidth, ThumbnailRowHeight);
    Hold->hide();

    PicBox = new PictureBox(this);
    placeTwips(PicBox, HiddenLeft, 3000, 1670, 2540);
    CopyHolder = new PictureBox(this);
    placeTwips(CopyHolder, HiddenLeft, 6000, 1670, 2540);
}

void Browser::setUpGridColumns()
{
    for (int col : {2, 1, 0})
        Preview->setColWidth(col, ThumbnailColWidth);
    Preview->setRowHeightMin(ThumbnailRowHeight);
}

void Browser::setupMenus()
{
    auto* bar = new QMenuBar;
    setMenuBar(bar);
    FileMnu = bar->addMenu(QStringLiteral("&File"));
    SelectMnu = FileMnu->addAction(QStringLiteral("&Select Default Drive"));
    compatnames = FileMnu->addAction(QStringLiteral("Enable compatable file naming"));
    compatnames->setVisible(false);
    CreateCat = FileMnu->addAction(QStringLiteral("&Create Catalogue"));
    CreateCat->setVisible(false);
    CreateDistrib = FileMnu->addAction(QStringLiteral("Create &Distribution Folder"));
    CreateDistrib->setVisible(false);
    QuitMnu = FileMnu->addAction(QStringLiteral("&Quit"));
    TutorialMnu = bar->addAction(QStringLiteral("&Tutorial"));
    TutorialMnu->setVisible(false);
    AboutMnu = bar->addAction(QStringLiteral("&About"));
}

void Browser::setupPopUp()
{
    BrPopUp = new QMenu(QStringLiteral("PopUp"), this);
    BrOpen = BrPopUp->addAction(QStringLiteral("Open (with Associated Program)"));
    BrOpenFolder = BrPopUp->addAction(QStringLiteral("Open Containing Folder"));
    BrCopy = BrPopUp->addAction(QStringLiteral("Copy to Clipboard"));
    BrPreview = BrPopUp->addAction(QStringLiteral("Preview"));
}

// What the user starts and may pump messages (a run, a preview, a modal
// window, the close) runs from the event loop, queued, never inside the
// control's own mouse or key handling: the user may close the window while it
// pumps, and no control's handler may be left running on a window that is gone.
void Browser::connectHandlers()
{
    constexpr auto queued = Qt::QueuedConnection;
    connect(Drive1, &platform::DriveListBox::Change, this, &Browser::Drive1_Change);
    connect(Dir1, &platform::DirListBox::Change, this, &Browser::Dir1_Change);
    connect(File1, &platform::FileListBox::DblClick, this, &Browser::File1_DblClick, queued);
    connect(AutoPrev, &QCheckBox::toggled, this, &Browser::AutoPrev_Click);
    connect(Command1, &QPushButton::clicked, this, &Browser::Command1_Click, queued);

    connect(Preview, &platform::FlexGrid::Click, this, &Browser::Preview_Click);
    connect(Preview, &platform::FlexGrid::DblClick, this, &Browser::Preview_DblClick, queued);
    connect(Preview, &platform::FlexGrid::MouseUp, this, &Browser::Preview_MouseUp);
    connect(Preview, &platform::FlexGrid::KeyDown, this, &Browser::Preview_KeyDown, queued);
    connect(BrOpen, &QAction::triggered, this, &Browser::BrOpen_Click, queued);
    connect(BrOpenFolder, &QAction::triggered, this, &Browser::BrOpenFolder_Click, queued);
    connect(BrCopy, &QAction::triggered, this, &Browser::BrCopy_Click, queued);
    connect(BrPreview, &QAction::triggered, this, &Browser::BrPreview_Click, queued);

    connect(SelectMnu, &QAction::triggered, this, &Browser::SelectMnu_Click, queued);
    connect(CreateCat, &QAction::triggered, this, &Browser::CreateCat_Click, queued);
    connect(CreateDistrib, &QAction::triggered, this, &Browser::CreateDistrib_Click, queued);
    connect(QuitMnu, &QAction::triggered, this, &Browser::QuitMnu_Click, queued);
    connect(TutorialMnu, &QAction::triggered, this, &Browser::TutorialMnu_Click, queued);
    connect(AboutMnu, &QAction::triggered, this, &Browser::AboutMnu_Click, queued);
}

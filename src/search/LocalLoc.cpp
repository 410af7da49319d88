#include "search/LocalLoc.h"

#include "platform/CaptionFit.h"
#include "platform/Forms.h"
#include "platform/Pump.h"
#include "platform/Services.h"
#include "runtime/RuntimeError.h"
#include "search/DialogFrame.h"
#include "search/ListSearch.h"
#include "search/LocationRules.h"
#include "search/OpenFileDialog.h"
#include "search/Rescan.h"
#include "search/SearchForm.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>

using platform::placeTwips;

namespace {

constexpr int DescriptionColumn = 0;
constexpr int PathColumn = 1;

QPushButton* makeButton(const QString& text, QWidget* parent, double left, double top, double width)
{
    auto* button = new QPushButton(text, parent);
    // A focused button takes Enter, as in every dialog; none is the default.
    button->setAutoDefault(true);
    placeTwips(button, left, top, width, 315);
    return button;
}

// Runs the rescan of the saved locations under the hourglass, with the search
// window's own rescan command disabled meanwhile. Touches nothing of the
// dialog, which may be unloaded while the rescan pumps messages.
void rescanSavedLocations()
{
    const QPointer<SearchForm> search =
        dynamic_cast<SearchForm*>(platform::Forms::find(QStringLiteral("SearchForm")));
    if (!search)
        return;
    search->ReScan->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    RescanLocations(*search);
    QApplication::restoreOverrideCursor();
    if (search)
        search->ReScan->setEnabled(true);
}

}  // namespace

LocalLoc::LocalLoc(QWidget* parent)
    : FormWindow(parent)
{
    setupControls();
    connectHandlers();
}

void LocalLoc::setupControls()
{
    setWindowTitle(QStringLiteral("Brisca Viewer - Local File Search Locations"));
    makeFixedDialog(*this, 7845, 4890);

    Online = new QTreeWidget(this);
    Online->setHeaderLabels({QStringLiteral("Description"), QStringLiteral("Path")});
    Online->header()->resizeSection(DescriptionColumn, platform::twipsToPixels(2500));
    Online->header()->resizeSection(PathColumn, platform::twipsToPixels(4900));
    Online->header()->setStretchLastSection(false);
    Online->setRootIsDecorated(false);
    Online->setSelectionMode(QAbstractItemView::SingleSelection);
    Online->setAccessibleName(QStringLiteral("Locations"));
    placeTwips(Online, 60, 60, 7755, 3495);

    Label1 = new QLabel(QStringLiteral("Description"), this);
    placeTwips(Label1, 60, 3600, 1395, 255);
    Label2 = new QLabel(QStringLiteral("Path"), this);
    placeTwips(Label2, 2400, 3600, 1995, 255);

    Desc = new QLineEdit(QStringLiteral("Online"), this);
    placeTwips(Desc, 60, 3900, 2295, 315);
    Label1->setBuddy(Desc);
    LocalDataFolder = new QLineEdit(this);
    placeTwips(LocalDataFolder, 2400, 3900, 4275, 315);
    Label2->setBuddy(LocalDataFolder);

    GetListName = makeButton({}, this, 6720, 3900, 315);
    makeBrowseButton(*GetListName);
    GetListName->setToolTip(QStringLiteral("Browse for a File Location Path"));
    LocAdd = makeButton(QStringLiteral("Add"), this, 7140, 3900, 615);
    OK = makeButton(QStringLiteral("Save"), this, 120, 4440, 675);
    Cancel = makeButton(QStringLiteral("Cancel"), this, 900, 4440, 795);
    MvUp = makeButton(QStringLiteral("Move Selected Up"), this, 2640, 4440, 1755);
    MvDn = makeButton(QStringLiteral("Move Selected Down"), this, 4500, 4440, 1755);
    LocDel = makeButton(QStringLiteral("Delete Selected"), this, 6360, 4440, 1395);

    setTabOrderChain({Online, LocAdd, LocDel, Desc, LocalDataFolder, GetListName, MvDn, MvUp, OK, Cancel});
    platform::fitCaptions(*this);
}

void LocalLoc::connectHandlers()
{
    connect(GetListName, &QPushButton::clicked, this, &LocalLoc::GetListName_Click);
    connect(LocAdd, &QPushButton::clicked, this, &LocalLoc::LocAdd_Click);
    connect(LocDel, &QPushButton::clicked, this, &LocalLoc::LocDel_Click);
    connect(MvUp, &QPushButton::clicked, this, &LocalLoc::MvUp_Click);
    connect(MvDn, &QPushButton::clicked, this, &LocalLoc::MvDn_Click);
    connect(OK, &QPushButton::clicked, this, &LocalLoc::OK_Click);
    connect(Cancel, &QPushButton::clicked, this, &LocalLoc::Cancel_Click);
}

void LocalLoc::Form_Load()
{
    for (int i = 1; i <= ListSearch.LocCount; ++i)
        appendRow(ListSearch.Locations[i][1], ListSearch.Locations[i][2]);
}

void LocalLoc::showEvent(QShowEvent* event)
{
    FormWindow::showEvent(event);
    centreOnOwner(*this);
}

void LocalLoc::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        Cancel->click();
    else
        FormWindow::keyPressEvent(event);
}

void LocalLoc::GetListName_Click()
{
    platform::OpenFileRequest request;
    request.fileName = QStringLiteral("All Files");
    request.defaultExt = QStringLiteral(".txt");
    request.initDir = LocalDataFolder->text();
    request.owner = this;
    try {
        LocalDataFolder->setText(folderOfChosenFile(showOpenFile(request)));
    } catch (const runtime::RuntimeError&) {
        // A cancel or a failed step leaves the field as it was.
    }
}

void LocalLoc::LocAdd_Click()
{
    const std::optional<QString> refusal =
        locationRefusal(Desc->text(), LocalDataFolder->text(), Online->topLevelItemCount());
    if (refusal) {
        platform::interaction().msgBox(*refusal, platform::MsgButtons::Ok, platform::MsgIcon::None, {}, this);
        return;
    }
    appendRow(Desc->text(), LocalDataFolder->text());
}

void LocalLoc::LocDel_Click()
{
    const int row = selectedRow();
    if (row == 0)
        return;
    delete Online->takeTopLevelItem(row - 1);
    if (row > 1)
        selectRow(row - 1);
}

void LocalLoc::MvUp_Click() { moveSelected(-1); }

void LocalLoc::MvDn_Click() { moveSelected(+1); }

void LocalLoc::OK_Click()
{
    storeRows();
    if (ListSearch.RescanBusy) {
        // The running rescan pumps messages beneath this handler; a second one
        // must not start inside it.
        platform::interaction().msgBox(
            QStringLiteral("The locations were saved. A rescan is already running, so no second rescan was started."),
            platform::MsgButtons::Ok, platform::MsgIcon::None, {}, this);
    } else if (platform::interaction().msgBox(QStringLiteral("Rescan Local Search Locations?"),
                                              platform::MsgButtons::YesNo, platform::MsgIcon::None, {}, this)
               == platform::MsgResult::Yes) {
        // The dialog takes input while the rescan runs, so it may be gone when it returns.
        const QPointer<LocalLoc> self(this);
        rescanSavedLocations();
        if (!self)
            return;
    }
    Unload();
}

void LocalLoc::Cancel_Click() { Unload(); }

void LocalLoc::appendRow(const QString& description, const QString& path)
{
    auto* row = new QTreeWidgetItem(Online);
    row->setText(DescriptionColumn, description);
    row->setText(PathColumn, path);
}

int LocalLoc::selectedRow() const
{
    const QList<QTreeWidgetItem*> selected = Online->selectedItems();
    return selected.isEmpty() ? 0 : Online->indexOfTopLevelItem(selected.first()) + 1;
}

void LocalLoc::selectRow(int row)
{
    Online->setCurrentItem(Online->topLevelItem(row - 1));
}

void LocalLoc::moveSelected(int step)
{
    const int row = selectedRow();
    const int target = row + step;
    if (row == 0 || target < 1 || target > Online->topLevelItemCount())
        return;
    QTreeWidgetItem* from = Online->topLevelItem(row - 1);
    QTreeWidgetItem* to = Online->topLevelItem(target - 1);
    for (const int column : {DescriptionColumn, PathColumn}) {
        const QString text = from->text(column);
        from->setText(column, to->text(column));
        to->setText(column, text);
    }
    selectRow(target);
}

void LocalLoc::storeRows()
{
    // Add refuses a row beyond the last one Locations can hold; this keeps it so.
    const int count = std::min(Online->topLevelItemCount(), MaxLocations);
    for (int i = 1; i <= count; ++i) {
        const QTreeWidgetItem* row = Online->topLevelItem(i - 1);
        ListSearch.Locations[i][1] = row->text(DescriptionColumn);
        ListSearch.Locations[i][2] = row->text(PathColumn);
    }
    ListSearch.LocCount = count;
}


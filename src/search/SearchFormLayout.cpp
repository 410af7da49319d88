// The search window's controls and menus at their design places.

#include "search/SearchForm.h"

#include "platform/CaptionFit.h"
#include "platform/Forms.h"
#include "platform/Pump.h"
#include "runtime/RuntimeError.h"
#include "search/HitListModel.h"

#include <QAction>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTimer>
#include <QTreeView>

#include <algorithm>

using platform::Forms;
using platform::placeTwips;

namespace {

// Design widths of the columns the resize leaves alone (twips).
constexpr double MatchColumnWidth = 750;
constexpr double SizeColumnWidth = 1080;
constexpr double DateColumnWidth = 1200;
constexpr double LabelHeight = 255;

QLabel* label(QWidget* parent, const QString& text, double left, double width)
{
    auto* control = new QLabel(text, parent);
    placeTwips(control, left, 540, width, LabelHeight);
    return control;
}

// The Size column is as wide as its design, its title, and the widest size
// the listing's thirteen size columns can hold ("9536743.16mb"), each measured
// as the list measures its cells.
int sizeColumnWidth(const QTreeView& view)
{
    HitRow widest;
    widest.size = 9'999'999'999'999;
    QStyleOptionViewItem cell;
    cell.initFrom(&view);
    cell.font = view.font();
    cell.features = QStyleOptionViewItem::HasDisplay;
    cell.text = HitListModel::text(widest, HitListModel::Size);
    const int widestCell = view.style()->sizeFromContents(QStyle::CT_ItemViewItem, &cell, QSize(), &view).width();
    return std::max({platform::twipsToPixels(SizeColumnWidth), widestCell,
                     view.header()->sectionSizeHint(HitListModel::Size)});
}

QAction* menuItem(QMenu* menu, const QString& caption, const QKeySequence& shortcut = {})
{
    QAction* action = menu->addAction(caption);
    action->setShortcut(shortcut);
    return action;
}

}  // namespace

void SearchForm::setupControls()
{
    setupMenus();
    setClientSize(9570, 6450);

    SearchStr = new QLineEdit(this);
    SearchStr->setAccessibleName("Search words");
    placeTwips(SearchStr, 1080, 120, 9570 - 1080 - 40, 315);
    SearchStr->installEventFilter(this);

    Find = new QPushButton("Find", this);
    Find->setDefault(true);
    placeTwips(Find, 60, 120, 975, 315);

    DesMatch = new QLineEdit("70", this);
    placeTwips(DesMatch, 5700, 480, 495, 285);
    DesMatch->installEventFilter(this);

    WebUpdate = new QPushButton("Web Update?", this);
    placeTwips(WebUpdate, 6240, 480, 1275, 255);

    setupLabels();
    setupHitList();

    MenuLine = new QFrame(this);
    MenuLine->setFrameShape(QFrame::HLine);
    MenuLine->setFrameShadow(QFrame::Sunken);
    placeTwips(MenuLine, 0, 0, 9570, 30);

    SndQTime = new QTimer(this);
    SndQTime->setInterval(100);

    platform::fitCaptions(*this);
    HitList->header()->resizeSection(HitListModel::Size, sizeColumnWidth(*HitList));
}

void SearchForm::setupLabels()
{
    label(this, "Files Searched:", 60, 1215);
    label(this, "Items Found:", 2280, 975);
    QLabel* desiredMatch = label(this, "Desired Match %:", 4320, 1335);
    desiredMatch->setBuddy(DesMatch);
    lblSearched = label(this, "0", 1320, 795);
    lblFound = label(this, "0", 3300, 915);
    lblVer = label(this, QString(), 8280, 1215);
}

void SearchForm::setupHitList()
{
    HitList = new QTreeView(this);
    hitModel = new HitListModel(HitList);
    HitList->setModel(hitModel);
    HitList->setRootIsDecorated(false);
    HitList->setItemsExpandable(false);
    HitList->setUniformRowHeights(true);
    HitList->setAllColumnsShowFocus(true);
    HitList->setSelectionBehavior(QAbstractItemView::SelectRows);
    HitList->setSelectionMode(QAbstractItemView::SingleSelection);
    HitList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    HitList->setExpandsOnDoubleClick(false);
    HitList->setAccessibleName("Hits");
    QHeaderView* header = HitList->header();
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(0);
    header->resizeSection(HitListModel::Match, platform::twipsToPixels(MatchColumnWidth));
    header->resizeSection(HitListModel::Date, platform::twipsToPixels(DateColumnWidth));
    header->resizeSection(HitListModel::Volume, 0);
    placeTwips(HitList, 0, 780, 9570, 6450 - 780);
    HitList->viewport()->installEventFilter(this);
}

void SearchForm::setupMenus()
{
    auto* bar = new QMenuBar;
    setMenuBar(bar);
    FileMenu = bar->addMenu("&File");
    MnuBrowse = menuItem(FileMenu, "Browse Images");
    MenuListAll = menuItem(FileMenu, "Image Descriptions");
    MnuSelectCD = menuItem(FileMenu, "Select CD Drive");
    AddLocal = menuItem(FileMenu, "&Add/Edit Local Folder To Search List", QKeySequence(Qt::CTRL | Qt::Key_A));
    ReScan = menuItem(FileMenu, "Rescan Local Search Folders", QKeySequence(Qt::CTRL | Qt::Key_R));
    OptionsMenu = menuItem(FileMenu, "&Options", QKeySequence(Qt::CTRL | Qt::Key_O));
    MenuQuit = menuItem(FileMenu, "&Quit", QKeySequence(Qt::CTRL | Qt::Key_Q));
    MenuTutorial = bar->addAction("&Tutorial");
    AboutMenu = bar->addAction("&About");
    setupItemMenu();
}

void SearchForm::setupItemMenu()
{
    ItemMenu = new QMenu("PopUP", this);
    CtLaunch = menuItem(ItemMenu, "O&pen (with Associated Program)");
    CTOpFolder = menuItem(ItemMenu, "Open Containing &Folder");
    ShowPreview = menuItem(ItemMenu, "Preview Image");
    CTQueue = menuItem(ItemMenu, "Enqueue (Winamp)");
}

void SearchForm::connectHandlers()
{
    connect(Find, &QPushButton::clicked, this, &SearchForm::Find_Click);
    connect(WebUpdate, &QPushButton::clicked, this, &SearchForm::WebUpdate_Click);
    connect(SndQTime, &QTimer::timeout, this, &SearchForm::SndQTime_Timer);
    const std::pair<QAction*, void (SearchForm::*)()> commands[] = {
        {MnuBrowse, &SearchForm::MnuBrowse_Click},     {MenuListAll, &SearchForm::MenuListAll_Click},
        {MnuSelectCD, &SearchForm::MnuSelectCD_Click}, {AddLocal, &SearchForm::AddLocal_Click},
        {ReScan, &SearchForm::ReScan_Click},           {OptionsMenu, &SearchForm::OptionsMenu_Click},
        {MenuQuit, &SearchForm::MenuQuit_Click},       {MenuTutorial, &SearchForm::MenuTutorial_Click},
        {AboutMenu, &SearchForm::AboutMenu_Click},     {CtLaunch, &SearchForm::CtLaunch_Click},
        {CTOpFolder, &SearchForm::CTOpFolder_Click},   {ShowPreview, &SearchForm::ShowPreview_Click},
        {CTQueue, &SearchForm::CTQueue_Click},
    };
    for (const auto& [action, handler] : commands)
        connect(action, &QAction::triggered, this, [this, handler = handler] { runMenuCommand(handler); });
}

// While the program closes (a rescan still ending, say), a window already
// unloaded is not loaded again and naming it raises 91: a menu command that
// would open one then does nothing, rather than let the error leave the slot.
void SearchForm::runMenuCommand(void (SearchForm::*command)())
{
    try {
        (this->*command)();
    } catch (const runtime::RuntimeError&) {
        if (!Forms::isClosing())
            throw;
    }
}

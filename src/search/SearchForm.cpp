#include "search/SearchForm.h"

#include "platform/Forms.h"
#include "platform/Pump.h"
#include "platform/Services.h"
#include "search/HitListModel.h"
#include "search/SearchResize.h"
#include "search/frmBrowser.h"

#include <QAction>
#include <QFrame>
#include <QMenu>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTreeView>

#include <algorithm>

using platform::Forms;
using platform::pixelsToTwips;
using platform::twipsToPixels;

SearchForm::SearchForm(QString commandLine, SearchHooks hooks)
    : commandLine_(std::move(commandLine)), hooks_(std::move(hooks))
{
    setWindowTitle("Brisca Viewer - Image Search");
    setupControls();
    connectHandlers();
}

SearchForm::~SearchForm() = default;

// Resizing ------------------------------------------------------------------

void SearchForm::Form_Resize()
{
    if (isMinimized())
        return;
    // The snap raises a new resize, which lays out.
    if (Height() < SearchMinHeight) {
        setHeight(SearchMinHeight);
        return;
    }
    if (Width() < SearchMinWidth) {
        setWidth(SearchMinWidth);
        return;
    }
    layoutControls();
}

void SearchForm::layoutControls()
{
    const double width = ScaleWidth();
    const double height = ScaleHeight();
    const QPoint origin = contentsRect().topLeft();
    const auto leftOf = [&](const QWidget* control) { return pixelsToTwips(control->x() - origin.x()); };
    const auto topOf = [&](const QWidget* control) { return pixelsToTwips(control->y() - origin.y()); };
    const auto pixels = [](double twips) { return std::max(0, twipsToPixels(twips)); };

    SearchStr->resize(pixels(width - leftOf(SearchStr) - 40), SearchStr->height());
    MenuLine->resize(pixels(width), MenuLine->height());
    HitList->resize(pixels(width - leftOf(HitList)), pixels(height - topOf(HitList)));

    QHeaderView* header = HitList->header();
    const auto columnWidth = [&](int column) { return pixelsToTwips(header->sectionSize(column)); };
    header->resizeSection(HitListModel::Volume, 0);
    if (const auto shares = folderNameWidths(width, columnWidth(HitListModel::Match),
                                             columnWidth(HitListModel::Size),
                                             columnWidth(HitListModel::Date))) {
        header->resizeSection(HitListModel::Folder, twipsToPixels(shares->folder));
        header->resizeSection(HitListModel::Name, twipsToPixels(shares->name));
    }
}

// Keyboard and mouse ----------------------------------------------------------

// Find is the window's default button: Enter presses it, or the button that
// has the focus.
void SearchForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        auto* focused = qobject_cast<QPushButton*>(focusWidget());
        (focused ? focused : Find)->click();
        return;
    }
    FormWindow::keyPressEvent(event);
}

namespace {

std::int16_t buttonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

std::int16_t shiftCode(Qt::KeyboardModifiers modifiers)
{
    return static_cast<std::int16_t>((modifiers & Qt::ShiftModifier ? 1 : 0) |
                                     (modifiers & Qt::ControlModifier ? 2 : 0) |
                                     (modifiers & Qt::AltModifier ? 4 : 0));
}

}  // namespace

// The menu's shortcuts come before a text box's own keys: Ctrl+A in the search
// box opens the locations dialog rather than selecting the box's text.
bool SearchForm::isMenuShortcut(const QKeyEvent& key) const
{
    const QKeySequence typed(key.keyCombination());
    const QList<QAction*> commands = FileMenu->actions();
    return std::any_of(commands.begin(), commands.end(), [&](const QAction* command) {
        return command->isEnabled() && !command->shortcut().isEmpty() &&
               command->shortcut().matches(typed) == QKeySequence::ExactMatch;
    });
}

bool SearchForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride && (watched == SearchStr || watched == DesMatch) &&
        isMenuShortcut(*static_cast<QKeyEvent*>(event))) {
        // Left unaccepted, the key goes to the menu's shortcut.
        event->ignore();
        return true;
    }
    if (watched == HitList->viewport()) {
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const QPoint at = HitList->viewport()->mapTo(HitList, mouse->position().toPoint());
            HitList_MouseUp(buttonCode(mouse->button()), shiftCode(mouse->modifiers()),
                            static_cast<float>(pixelsToTwips(at.x())), static_cast<float>(pixelsToTwips(at.y())));
        } else if (event->type() == QEvent::MouseButtonDblClick) {
            HitList_DblClick();
        }
    }
    return FormWindow::eventFilter(watched, event);
}

// Menu commands ---------------------------------------------------------------

void SearchForm::MnuBrowse_Click() { Forms::get("Browser").Show(); }

void SearchForm::MnuSelectCD_Click() { Forms::get("SelectDrive").Show(true); }

void SearchForm::AddLocal_Click() { Forms::get("LocalLoc").Show(false, this); }

void SearchForm::OptionsMenu_Click() { Forms::get("ListOptions").Show(true, this); }

void SearchForm::AboutMenu_Click() { Forms::get("frmSplash").Show(true, this); }

void SearchForm::MenuTutorial_Click()
{
    platform::FormWindow& tutorial = Forms::instance("frmBrowser");
    tutorial.setProperty("StartingAddress", tutorialAddress());
    tutorial.Show();
}

// Update, exchange and rescan ---------------------------------------------------

void SearchForm::ReScan_Click()
{
    if (hooks_.ReScan_Click)
        hooks_.ReScan_Click(*this);
}

bool SearchForm::CheckListing() { return hooks_.CheckListing && hooks_.CheckListing(*this); }

void SearchForm::WebUpdate_Click()
{
    if (hooks_.WebUpdate_Click)
        hooks_.WebUpdate_Click(*this);
}

void SearchForm::SndQTime_Timer()
{
    if (hooks_.SndQTime_Timer)
        hooks_.SndQTime_Timer(*this);
}

#include "search/frmBrowser.h"

#include "platform/Pump.h"
#include "platform/Services.h"
#include "search/WebView.h"

#include <QAction>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

#include <algorithm>

namespace {

constexpr double Margin = 100;        // twips kept free right of and below the page
constexpr double ToolBarHeight = 420;
constexpr double AddressTop = ToolBarHeight;
constexpr double AddressHeight = 600;
constexpr double BrowserLeft = 50;
constexpr double BrowserTop = AddressTop + AddressHeight;

// Runs one statement of a handler that passes over errors.
template <typename Statement>
void passOverErrors(Statement statement)
{
    try {
        statement();
    } catch (const std::exception&) {
    }
}

}  // namespace

QString tutorialAddress() { return platform::programFolder() + QStringLiteral("\\ViewerTut.htm"); }

frmBrowser::frmBrowser(QWidget* parent) : platform::FormWindow(parent)
{
    setupControls();
    setupToolBar();
    // An address whose drive is not ready must not end the program.
    connect(cboAddress, &QComboBox::activated, this, [this] { passOverErrors([this] { cboAddress_Click(); }); });
    connect(timTimer, &QTimer::timeout, this, &frmBrowser::timTimer_Timer);
    // Keys typed in the address box reach the combo box, which holds the focus
    // for its text field.
    cboAddress->installEventFilter(this);
}

void frmBrowser::setupControls()
{
    setWindowTitle(QStringLiteral("Brisca Viewer - Tutorial"));

    tbToolBar = new QToolBar(this);
    platform::placeTwips(tbToolBar, 0, 0, 9600, ToolBarHeight);

    picAddress = new QWidget(this);
    platform::placeTwips(picAddress, 0, AddressTop, 9600, AddressHeight);
    lblAddress = new QLabel(QStringLiteral("&Address:"), picAddress);
    platform::placeTwips(lblAddress, 50, 30, 1200, 240);
    cboAddress = new QComboBox(picAddress);
    cboAddress->setEditable(true);
    // Typed addresses and pages reached later are not added to the list.
    cboAddress->setInsertPolicy(QComboBox::NoInsert);
    platform::placeTwips(cboAddress, 50, 300, 9500, 300);
    lblAddress->setBuddy(cboAddress);
    cboAddress->setAccessibleName(QStringLiteral("Address"));

    brwWebBrowser = new WebView(this);
    brwWebBrowser->setAccessibleName(QStringLiteral("Tutorial page"));
    platform::placeTwips(brwWebBrowser, BrowserLeft, BrowserTop, 9500, 7200 - BrowserTop - Margin);

    timTimer = new QTimer(this);
    timTimer->setInterval(5);
    setClientSize(9600, 7200);
}

void frmBrowser::setupToolBar()
{
    const std::pair<const char*, QStyle::StandardPixmap> buttons[] = {
        {"Back", QStyle::SP_ArrowBack},      {"Forward", QStyle::SP_ArrowForward},
        {"Stop", QStyle::SP_BrowserStop},    {"Refresh", QStyle::SP_BrowserReload},
        {"Home", QStyle::SP_DirHomeIcon},    {"Search", QStyle::SP_FileDialogContentsView},
    };
    for (const auto& [key, icon] : buttons) {
        const QString name = QString::fromLatin1(key);
        QAction* button = tbToolBar->addAction(style()->standardIcon(icon), name);
        button->setObjectName(name);
        button->setToolTip(name);
        connect(button, &QAction::triggered, this, [this, name] { tbToolBar_ButtonClick(name); });
    }
}

void frmBrowser::Form_Load()
{
    Show();
    tbToolBar->update();
    Form_Resize();
    passOverErrors([this] {
        cboAddress->move(platform::twipsToPixels(50),
                         lblAddress->y() + lblAddress->height() + platform::twipsToPixels(15));
    });
    if (StartingAddress.isEmpty())
        return;
    passOverErrors([this] { cboAddress->setEditText(StartingAddress); });
    passOverErrors([this] { cboAddress->addItem(cboAddress->currentText()); });
    passOverErrors([this] { timTimer->start(); });
    passOverErrors([this] { brwWebBrowser->Navigate(StartingAddress); });
}

void frmBrowser::Form_Resize()
{
    // The page ends the margin above the window's bottom edge, below the
    // address panel. A window too small for the margins (minimised) gives
    // the controls no size.
    const int width = platform::twipsToPixels(std::max(0.0, ScaleWidth() - Margin));
    const int height = platform::twipsToPixels(std::max(0.0, ScaleHeight() - BrowserTop - Margin));
    // The toolbar and the address panel lie along the top edge, as wide as the window.
    tbToolBar->resize(this->width(), tbToolBar->height());
    picAddress->resize(this->width(), picAddress->height());
    cboAddress->resize(width, cboAddress->height());
    brwWebBrowser->resize(width, height);
}

void frmBrowser::cboAddress_Click()
{
    timTimer->start();
    brwWebBrowser->Navigate(cboAddress->currentText());
}

void frmBrowser::cboAddress_KeyPress(int keyAscii)
{
    if (keyAscii == 13)
        passOverErrors([this] { cboAddress_Click(); });
}

bool frmBrowser::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == cboAddress && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            cboAddress_KeyPress(13);
            // The combo box's own Enter would choose a matching list entry and navigate twice.
            return true;
        }
    }
    return platform::FormWindow::eventFilter(watched, event);
}

void frmBrowser::tbToolBar_ButtonClick(const QString& key)
{
    timTimer->start();
    passOverErrors([&] {
        if (key == QLatin1String("Back"))
            brwWebBrowser->GoBack();
        else if (key == QLatin1String("Forward"))
            brwWebBrowser->GoForward();
        else if (key == QLatin1String("Refresh"))
            brwWebBrowser->Refresh();
        else if (key == QLatin1String("Home"))
            brwWebBrowser->GoHome();
        else if (key == QLatin1String("Search"))
            brwWebBrowser->GoSearch();
        else if (key == QLatin1String("Stop")) {
            timTimer->stop();
            brwWebBrowser->Stop();
        }
    });
}

void frmBrowser::timTimer_Timer()
{
    if (!brwWebBrowser->Busy())
        timTimer->stop();
}

#pragma once
// The tutorial window: a small web browser with an address box and a toolbar
// (Back, Forward, Stop, Refresh, Home, Search). Other windows set
// StartingAddress (on the instance Forms creates without loading it) and then
// show the window; its load opens that address. Its caption stays
// "Brisca Viewer - Tutorial" whatever page it shows.

#include "platform/FormWindow.h"

#include <QString>

class QComboBox;
class QLabel;
class QTimer;
class QToolBar;
class WebView;

class frmBrowser : public platform::FormWindow {
    Q_OBJECT
    Q_PROPERTY(QString StartingAddress READ startingAddress WRITE setStartingAddress)
public:
    explicit frmBrowser(QWidget* parent = nullptr);

    const QString& startingAddress() const { return StartingAddress; }
    void setStartingAddress(const QString& address) { StartingAddress = address; }

    QToolBar* tbToolBar = nullptr;
    QWidget* picAddress = nullptr;
    QLabel* lblAddress = nullptr;
    QComboBox* cboAddress = nullptr;
    WebView* brwWebBrowser = nullptr;
    QTimer* timTimer = nullptr;

    void cboAddress_Click();
    void cboAddress_KeyPress(int keyAscii);
    void tbToolBar_ButtonClick(const QString& key);

protected:
    void Form_Load() override;
    void Form_Resize() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setupControls();
    void setupToolBar();
    void timTimer_Timer();

    QString StartingAddress;
};

// The tutorial page beside the program, where the Tutorial menus open the window.
QString tutorialAddress();

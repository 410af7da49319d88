#pragma once
// The search window, the program's start-up window: its load starts the whole
// program (settings, locations, the archive check, the CD-drive dialog and the
// image browser), and its unload saves the settings and closes every window.
// The search itself, the hit actions and the update and exchange routines fill
// in handlers declared here, in their own source files.

#include "platform/FormWindow.h"
#include "search/SearchHooks.h"
#include "search/UnreadSettings.h"

#include <QColor>
#include <QPointer>
#include <QString>
#include <cstdint>

class HitListModel;
class QAction;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTimer;
class QTreeView;

class SearchForm : public platform::FormWindow {
    Q_OBJECT
public:
    // `commandLine` is the whole argument text the program was started with.
    explicit SearchForm(QString commandLine = {}, SearchHooks hooks = {});
    ~SearchForm() override;

    // Controls.
    QPushButton* Find = nullptr;
    QLineEdit* SearchStr = nullptr;
    QLineEdit* DesMatch = nullptr;
    QTreeView* HitList = nullptr;
    HitListModel* hitModel = nullptr;  // the rows HitList shows
    QLabel* lblFound = nullptr;
    QLabel* lblSearched = nullptr;
    QLabel* lblVer = nullptr;
    QPushButton* WebUpdate = nullptr;
    QFrame* MenuLine = nullptr;
    QTimer* SndQTime = nullptr;

    // Menu bar.
    QMenu* FileMenu = nullptr;
    QAction* MnuBrowse = nullptr;
    QAction* MenuListAll = nullptr;
    QAction* MnuSelectCD = nullptr;
    QAction* AddLocal = nullptr;
    QAction* ReScan = nullptr;
    QAction* OptionsMenu = nullptr;
    QAction* MenuQuit = nullptr;
    QAction* MenuTutorial = nullptr;
    QAction* AboutMenu = nullptr;
    // The hit list's popup, never on the menu bar.
    QMenu* ItemMenu = nullptr;
    QAction* CtLaunch = nullptr;
    QAction* CTOpFolder = nullptr;
    QAction* ShowPreview = nullptr;
    QAction* CTQueue = nullptr;

    // The search.
    void Find_Click();
    void MenuListAll_Click();
    void SearchListing(const QString& InpStr, const QString& FileName, std::int16_t MinMatch,
                       std::int32_t& LinesChecked, const QColor& TextColor);

    // Hit actions. Button and Shift as the classic mouse events give them
    // (1 left, 2 right, 4 middle; 1 Shift, 2 Ctrl, 4 Alt), x and y in twips
    // within HitList.
    void HitList_MouseUp(std::int16_t Button, std::int16_t Shift, float x, float y);
    void HitList_DblClick();
    void CtLaunch_Click();
    void CTOpFolder_Click();
    void ShowPreview_Click();
    void CTQueue_Click();

    // Menu commands.
    void MnuBrowse_Click();
    void MnuSelectCD_Click();
    void AddLocal_Click();
    void ReScan_Click();
    void OptionsMenu_Click();
    void MenuQuit_Click();
    void MenuTutorial_Click();
    void AboutMenu_Click();

    // Update and exchange, through the hooks.
    bool CheckListing();
    void WebUpdate_Click();
    void SndQTime_Timer();

    // The send-queue timer's last step of a deferred shutdown: unloads this
    // window now that no rescan runs any more.
    void completeShutdown();

protected:
    void Form_Load() override;
    void Form_Resize() override;
    void Form_Unload(bool& cancel) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setupControls();
    void setupLabels();
    void setupHitList();
    void setupMenus();
    void setupItemMenu();
    void connectHandlers();
    void runMenuCommand(void (SearchForm::*command)());

    bool isMenuShortcut(const QKeyEvent& key) const;
    void layoutControls();
    void applyPlacement();
    // Load steps 3 to 10; returns at the end of command-line mode.
    void loadSettingsAndWindows();
    bool takeCommandLine();
    void saveOnExit();
    void closeSmallWindows();

    QString commandLine_;
    SearchHooks hooks_;
    UnreadSettings unread_;
    bool shutdownDeferred_ = false;
    bool finalShutdownPass_ = false;
};

// What a handler sees of the search window after it has pumped messages: gone
// once the window is deleted or unloaded, and while the program closes (a
// close that waits for a rescan keeps the window loaded, hidden).
bool searchWindowGone(const QPointer<SearchForm>& form);

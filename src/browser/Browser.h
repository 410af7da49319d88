#pragma once
// The image browser, the program's second main window: a drive, folder and
// file list on the left, the folder's pictures as thumbnails on the right.
// Changing the folder can start, stop or restart the folder's thumbnail run;
// closing the browser ends the program.

#include "browser/GridCells.h"
#include "browser/PictureBox.h"
#include "platform/FormWindow.h"

#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QPushButton;

namespace platform {
class DirListBox;
class DriveListBox;
class FileListBox;
class FlexGrid;
}  // namespace platform

class Browser : public platform::FormWindow {
    Q_OBJECT
public:
    explicit Browser(QWidget* parent = nullptr);

    // Controls, as the handlers and the thumbnail run reach them.
    std::array<QLabel*, 5> Label1{};
    platform::DriveListBox* Drive1 = nullptr;
    platform::DirListBox* Dir1 = nullptr;
    platform::FileListBox* File1 = nullptr;
    QPushButton* Command1 = nullptr;
    QCheckBox* AutoPrev = nullptr;
    QLabel* FileDesc = nullptr;
    QLabel* InfoLbl = nullptr;
    platform::FlexGrid* Preview = nullptr;
    platform::FlexGrid* Hold = nullptr;  // renders one thumbnail at a cell's size
    PictureBox* PicBox = nullptr;        // draws and captures one picture
    platform::Picture Pic;               // the picture the run loaded last
    PictureBox* CopyHolder = nullptr;    // the picture being copied
    QStringList ProcList;                // the folder's pictures during a run

    QMenu* FileMnu = nullptr;
    QAction* SelectMnu = nullptr;
    QAction* compatnames = nullptr;
    QAction* CreateCat = nullptr;
    QAction* CreateDistrib = nullptr;
    QAction* QuitMnu = nullptr;
    QAction* TutorialMnu = nullptr;
    QAction* AboutMnu = nullptr;
    QMenu* BrPopUp = nullptr;
    QAction* BrOpen = nullptr;
    QAction* BrOpenFolder = nullptr;
    QAction* BrCopy = nullptr;
    QAction* BrPreview = nullptr;

    // Which file each grid cell shows, and the file the popup commands act on.
    GridCellTable GridCells;
    QString SelFolder;
    QString SelFile;

    // Runs the thumbnail run on the folder shown.
    void Command1_Click();
    // The folder thumbnail run (preview, catalogue and distribution modes).
    void PreviewFolder(QString ProcessPath, QString FolderName, QString ImageFolder, QString HtmlFolder,
                       std::int16_t HTML, QString Relative);
    // One folder's catalogue page, then its sub-folders' pages.
    void CatFolder(QString HtmlName, QString FolderPath, QString HtmlFolder, QString ImageFolder, QString OldHtml,
                   QString Relative);

    void Drive1_Change();
    void Dir1_Change();
    void File1_DblClick();
    void AutoPrev_Click();

    void Preview_Click();
    void Preview_DblClick();
    void Preview_MouseUp(int Button, int Shift, float X, float Y);
    // The keyboard's way to what the mouse does: the arrows show the new
    // cell's name, Enter acts as a double click, Shift+F10 and the menu key
    // open the cell's popup.
    void Preview_KeyDown(int KeyCode, int Shift);
    void BrOpen_Click();
    void BrOpenFolder_Click();
    void BrCopy_Click();
    void BrPreview_Click();

    void SelectMnu_Click();
    void CreateCat_Click();
    void CreateDistrib_Click();
    void QuitMnu_Click();
    void TutorialMnu_Click();
    void AboutMnu_Click();

protected:
    void Form_Load() override;
    void Form_Resize() override;
    void Form_Unload(bool& cancel) override;

private:
    void setupControls();
    void setupLists();
    void setupGrid();
    void setupMenus();
    void setupPopUp();
    void connectHandlers();
    void setUpGridColumns();
    void savePlacement();
    // The automatic run of the load, started from the event loop once the window is shown.
    void startFirstRun();
    void showLaunchError(int number, const QString& description);
    // The file of the grid's current cell, into SelFolder and SelFile; false when none is found.
    bool findCellFile();
    // The double click's action on the current cell; the popup at a point of the window.
    void openCellFile();
    void popUpCellMenu(const QPoint& inWindow);
    void launch(const std::function<void()>& verb);
};

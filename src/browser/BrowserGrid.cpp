// What the user does with a thumbnail cell: a click shows its file name, a
// double click previews a picture or opens any other file, and a right click
// offers the popup commands.

#include "browser/Browser.h"

#include "platform/FileSystem.h"
#include "platform/FlexGrid.h"
#include "platform/Interaction.h"
#include "platform/PictureLoader.h"
#include "platform/Pump.h"
#include "platform/Services.h"
#include "runtime/RuntimeError.h"
#include "search/HitActions.h"
#include "search/ShowImagePreview.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>

void Browser::Preview_Click()
{
    try {
        FileDesc->setText(GridCells(Preview->Row(), Preview->Col()).FileName);
    } catch (const runtime::RuntimeError&) {
        // A row the cell table does not hold: nothing to show.
    }
}

// The file is found again by its name as the cell recorded it (the name may
// since have gone, or another file starting with it may answer).
bool Browser::findCellFile()
{
    try {
        const GridCell& cell = GridCells(Preview->Row(), Preview->Col());
        if (cell.FileName.isEmpty())
            return false;
        const QStringList found =
            platform::fileSystem().dir(cell.Folder + u'\\' + cell.FileName + u'*', platform::attr::Normal);
        if (found.isEmpty())
            return false;
        SelFolder = cell.Folder + u'\\';
        SelFile = found.front();
        return true;
    } catch (const runtime::RuntimeError&) {
        // No such row, or a drive that has gone away: no file.
        return false;
    }
}

void Browser::Preview_DblClick()
{
    if (Preview->MouseRow() < 0 || Preview->MouseCol() < 0)
        return;
    Preview->setCol(Preview->MouseCol());
    Preview->setRow(Preview->MouseRow());
    openCellFile();
}

void Browser::openCellFile()
{
    if (!findCellFile())
        return;
    if (hasPictureExtension(SelFile))
        ShowImagePreview(SelFolder + SelFile);
    else
        BrOpen_Click();
}

void Browser::Preview_MouseUp(int Button, int /*Shift*/, float X, float Y)
{
    if (Preview->MouseRow() >= 0 && Preview->MouseCol() >= 0) {
        Preview->setCol(Preview->MouseCol());
        Preview->setRow(Preview->MouseRow());
    }
    if (Button == 2)
        popUpCellMenu(Preview->pos() + QPoint(platform::twipsToPixels(X), platform::twipsToPixels(Y)));
}

void Browser::popUpCellMenu(const QPoint& inWindow)
{
    if (!findCellFile())
        return;
    const bool picture = hasPictureExtension(SelFile);
    BrPreview->setVisible(picture);
    BrCopy->setVisible(picture);
    BrPopUp->setDefaultAction(picture ? BrPreview : nullptr);
    BrPopUp->popup(mapToGlobal(inWindow));
}

void Browser::Preview_KeyDown(int KeyCode, int Shift)
{
    constexpr int ShiftOnly = 1;
    switch (KeyCode) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        Preview_Click();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        openCellFile();
        break;
    case Qt::Key_F10:
        if (Shift != ShiftOnly)
            break;
        [[fallthrough]];
    case Qt::Key_Menu: {
        // The menu opens over the middle of the cell, the place the user is looking at.
        const QRect cell = Preview->visualRect(Preview->model()->index(Preview->Row(), Preview->Col()));
        popUpCellMenu(Preview->viewport()->mapTo(this, cell.center()));
        break;
    }
    default:
        break;
    }
}

void Browser::launch(const std::function<void()>& verb)
{
    try {
        verb();
    } catch (const runtime::RuntimeError& error) {
        if (error.number() == runtime::err::BadFileNameOrNumber)
            platform::interaction().msgBox(QStringLiteral("Bad file name Launching: ") + SelFolder + SelFile +
                                           QStringLiteral("\r\nThe file may have been renamed, deleted or moved."));
        else
            platform::interaction().msgBox(QStringLiteral("Launch Error: ") + QString::number(error.number()) +
                                           error.description());
    }
}

void Browser::BrOpen_Click()
{
    launch([this] { ShellOpenFile(SelFolder, SelFile, static_cast<long long>(effectiveWinId())); });
}

void Browser::BrOpenFolder_Click()
{
    launch([this] { ShellOpenFolder(SelFolder); });
}

// A picture that cannot be loaded leaves the clipboard as it was, with a
// message; bitmaps and drawn metafiles alike go on it as a picture.
void Browser::BrCopy_Click()
{
    try {
        CopyHolder->setPicture(platform::LoadPicture(SelFolder + SelFile));
    } catch (const runtime::RuntimeError& error) {
        platform::interaction().msgBox(QStringLiteral("Copy Error: ") + QString::number(error.number()) + u' ' +
                                       error.description());
        return;
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setImage(CopyHolder->picture().image);
}

void Browser::BrPreview_Click() { ShowImagePreview(SelFolder + SelFile); }

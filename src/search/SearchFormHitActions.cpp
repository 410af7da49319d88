// The actions on a hit: its popup menu and double click. Each action finds the
// row's file anew; nothing carries over from one action to the next.

#include "search/SearchForm.h"

#include "platform/Interaction.h"
#include "platform/Pump.h"
#include "platform/Services.h"
#include "runtime/RuntimeError.h"
#include "search/HitActions.h"
#include "search/HitListModel.h"
#include "search/ShowImagePreview.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QMenu>
#include <QTreeView>
#include <algorithm>
#include <functional>
#include <initializer_list>
#include <optional>

namespace {

// The selected row as its listing recorded it; nullopt when no row is selected.
std::optional<HitFile> selectedHit(const QTreeView& list, const HitListModel& model)
{
    const QModelIndexList selected = list.selectionModel()->selectedRows();
    if (selected.isEmpty())
        return std::nullopt;
    const HitRow& row = model.row(selected.first().row());
    return HitFile{row.volume, row.folder, row.name};
}

bool oneOf(const QString& extension, std::initializer_list<const char*> extensions)
{
    return std::any_of(extensions.begin(), extensions.end(),
                       [&](const char* candidate) { return extension == QLatin1String(candidate); });
}

// Finds the selected hit's file and, when there is one, runs the action on
// its folder and name, with the launch handlers' error trap.
void launchSelectedHit(const QTreeView& list, const HitListModel& model,
                       const std::function<void(const QString& folder, const QString& name)>& action)
{
    QString folder;
    QString name;
    try {
        name = ResolveHitPath(selectedHit(list, model), folder);
        if (!name.isEmpty())
            action(folder, name);
    } catch (const runtime::RuntimeError& error) {
        if (error.number() == runtime::err::BadFileNameOrNumber)
            platform::interaction().msgBox("Bad file name Launching: " + folder + name + "\r\n" +
                                           "The file may have been renamed, deleted or moved." +
                                           " Try rescanning the file lists.");
        else
            platform::interaction().msgBox("Launch Error: " + QString::number(error.number()) +
                                           error.description());
    }
}

}  // namespace

void SearchForm::HitList_MouseUp(std::int16_t Button, std::int16_t /*Shift*/, float x, float y)
{
    if (Button != 2)
        return;
    QString folder;
    const QString name = ResolveHitPath(selectedHit(*HitList, *hitModel), folder);
    if (name.isEmpty())
        return;

    const QString extension = name.right(4).toLower();
    ShowPreview->setVisible(oneOf(extension, {".wmf", ".emf", ".bmp", ".jpg", ".gif"}));
    CTQueue->setVisible(oneOf(extension, {".mp3", ".wav"}));
    ItemMenu->setDefaultAction(ShowPreview);
    // At (x, HitList's top + y) in the window's client area: HitList lies at
    // the left edge, so x is a position in the window too.
    const QPoint client = contentsRect().topLeft();
    const double top = platform::pixelsToTwips(HitList->y() - client.y());
    const QPoint at = client + QPoint(platform::twipsToPixels(x), platform::twipsToPixels(top + y));
    ItemMenu->popup(mapToGlobal(at));
}

void SearchForm::HitList_DblClick()
{
    launchSelectedHit(*HitList, *hitModel, [this](const QString&, const QString&) { ShowPreview_Click(); });
}

void SearchForm::CtLaunch_Click()
{
    launchSelectedHit(*HitList, *hitModel, [this](const QString& folder, const QString& name) {
        ShellOpenFile(folder, name, static_cast<long long>(effectiveWinId()));
    });
}

void SearchForm::CTOpFolder_Click()
{
    launchSelectedHit(*HitList, *hitModel, [](const QString& folder, const QString&) { ShellOpenFolder(folder); });
}

void SearchForm::ShowPreview_Click()
{
    QString folder;
    const QString name = ResolveHitPath(selectedHit(*HitList, *hitModel), folder);
    if (!name.isEmpty())
        ShowImagePreview(folder + name);
}

void SearchForm::CTQueue_Click()
{
    launchSelectedHit(*HitList, *hitModel, [this](const QString& folder, const QString& name) {
        ShellEnqueueFile(folder, name, static_cast<long long>(effectiveWinId()));
    });
}

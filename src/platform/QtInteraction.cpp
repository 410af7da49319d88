#include "platform/QtInteraction.h"

#include "platform/FileDialogFilter.h"
#include "platform/FileSystem.h"
#include "platform/Services.h"
#include "runtime/RuntimeError.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <utility>

namespace platform {

namespace {

constexpr std::pair<MsgResult, QMessageBox::StandardButton> StandardButtons[] = {
    {MsgResult::Ok, QMessageBox::Ok},       {MsgResult::Cancel, QMessageBox::Cancel},
    {MsgResult::Abort, QMessageBox::Abort}, {MsgResult::Retry, QMessageBox::Retry},
    {MsgResult::Ignore, QMessageBox::Ignore}, {MsgResult::Yes, QMessageBox::Yes},
    {MsgResult::No, QMessageBox::No},
};

QMessageBox::StandardButton toStandardButton(MsgResult result)
{
    for (const auto& [ours, qt] : StandardButtons) {
        if (ours == result)
            return qt;
    }
    return QMessageBox::Ok;
}

std::optional<MsgResult> fromStandardButton(QMessageBox::StandardButton button)
{
    for (const auto& [ours, qt] : StandardButtons) {
        if (qt == button)
            return ours;
    }
    return std::nullopt;
}

QMessageBox::Icon toQtIcon(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::None: return QMessageBox::NoIcon;
    case MsgIcon::Critical: return QMessageBox::Critical;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::Exclamation: return QMessageBox::Warning;
    case MsgIcon::Information: return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

// The host folder a dialog opens in; empty (Qt's default) when the path has none.
QString hostFolderOf(const QString& windowsFolder)
{
    if (windowsFolder.isEmpty())
        return {};
    try {
        return fileSystem().hostPath(windowsFolder);
    } catch (const runtime::RuntimeError&) {
        return {};
    }
}

}  // namespace

MsgResult QtInteraction::msgBox(const QString& prompt, MsgButtons buttons, MsgIcon icon,
                                const QString& title, QWidget* owner)
{
    const std::vector<MsgResult> shown = buttonsOf(buttons);
    QMessageBox box(toQtIcon(icon), messageTitle(title), prompt, QMessageBox::NoButton, owner);
    for (MsgResult result : shown)
        box.addButton(toStandardButton(result));
    box.setDefaultButton(toStandardButton(shown.front()));
    box.exec();
    // Closing the box without a button answers as its last button (Cancel, No, Ignore, Ok).
    return fromStandardButton(box.standardButton(box.clickedButton())).value_or(shown.back());
}

std::optional<OpenFileResult> QtInteraction::showOpen(const OpenFileRequest& request)
{
    QFileDialog dialog(request.owner, request.title, hostFolderOf(request.initDir),
                       toQtFileFilter(request.filter));
    // Any confirmed name serves, as the common dialog gives it without its
    // "file must exist" flag: the proposed "All Files" in an empty folder picks that folder.
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!request.defaultExt.isEmpty())
        dialog.setDefaultSuffix(request.defaultExt);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString chosen = dialog.selectedFiles().constFirst();
    return OpenFileResult{fileSystem().windowsPath(chosen), QFileInfo(chosen).fileName()};
}

}  // namespace platform

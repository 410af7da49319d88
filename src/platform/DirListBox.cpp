#include "platform/DirListBox.h"

#include "platform/CurrentFolder.h"
#include "platform/FileSystem.h"
#include "platform/Services.h"
#include "runtime/RuntimeError.h"

#include <QApplication>
#include <QKeyEvent>
#include <QStyle>

namespace platform {

namespace {

constexpr int PathRole = Qt::UserRole;

QString joinFolder(const QString& folder, const QString& name)
{
    return folder.endsWith(u'\\') ? folder + name : folder + u'\\' + name;
}

}  // namespace

DirListBox::DirListBox(QWidget* parent) : QListWidget(parent)
{
    connect(this, &QListWidget::itemActivated, this, &DirListBox::open);
    try {
        path_ = currentFolderOf(currentDriveLetter());
    } catch (const runtime::RuntimeError&) {
        path_ = QStringLiteral("C:\\");
    }
    Refresh();
}

void DirListBox::setPath(const QString& path)
{
    const QString folder = folderListPath(path);
    if (folder.compare(path_, Qt::CaseInsensitive) == 0)
        return;
    path_ = folder;
    Refresh();
    emit Change();
}

void DirListBox::Refresh()
{
    clear();
    const QIcon closed = QApplication::style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QIcon opened = QApplication::style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QStringList parts = path_.mid(3).split(u'\\', Qt::SkipEmptyParts);
    QString folder = path_.left(3);
    auto addEntry = [this](const QString& text, const QString& entryPath, int level, const QIcon& icon) {
        auto* item = new QListWidgetItem(icon, QString(level * 2, u' ') + text, this);
        item->setData(PathRole, entryPath);
    };
    addEntry(folder, folder, 0, opened);
    for (int level = 0; level < parts.size(); ++level) {
        folder = joinFolder(folder, parts[level]);
        addEntry(parts[level], folder, level + 1, opened);
    }
    setCurrentRow(count() - 1);
    QStringList subFolders;
    try {
        for (const DirEntry& entry : fileSystem().dirEntries(joinFolder(path_, QStringLiteral("*")), attr::Directory)) {
            if (entry.readable && (entry.attributes & attr::Directory))
                subFolders.append(entry.name);
        }
    } catch (const runtime::RuntimeError&) {
        // A drive that has gone away shows no sub-folders.
    }
    for (const QString& name : subFolders)
        addEntry(name, joinFolder(path_, name), static_cast<int>(parts.size()) + 1, closed);
}

void DirListBox::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
        open(currentItem());
        return;
    }
    QListWidget::keyPressEvent(event);
}

void DirListBox::open(QListWidgetItem* item)
{
    const QString path = item->data(PathRole).toString();
    QMetaObject::invokeMethod(
        this,
        [this, path] {
            try {
                setPath(path);
            } catch (const runtime::RuntimeError&) {
                // The folder has gone: show what is there now.
                Refresh();
            }
        },
        Qt::QueuedConnection);
}
}  // namespace platform

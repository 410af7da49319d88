#include "platform/FileListBox.h"

#include "platform/CurrentFolder.h"
#include "platform/FileSystem.h"
#include "platform/Services.h"

#include <QKeyEvent>
#include <QStringListModel>

namespace platform {

FileListBox::FileListBox(QWidget* parent) : QListView(parent), model_(new QStringListModel(this))
{
    setModel(model_);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    connect(this, &QListView::doubleClicked, this, &FileListBox::DblClick);
}

void FileListBox::setPath(const QString& path)
{
    const QString folder = folderListPath(path);
    QStringList names;
    const QString pattern = folder.endsWith(u'\\') ? folder + u'*' : folder + QStringLiteral("\\*");
    for (const DirEntry& entry : fileSystem().dirEntries(pattern, attr::Normal)) {
        if (entry.readable)
            names.append(entry.name);
    }
    path_ = folder;
    model_->setStringList(names);
}

QString FileListBox::FileName() const
{
    const QModelIndex index = currentIndex();
    return index.isValid() && selectionModel()->isSelected(index) ? index.data().toString() : QString();
}

QStringList FileListBox::names() const { return model_->stringList(); }

void FileListBox::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentIndex().isValid()) {
        emit DblClick();
        return;
    }
    QListView::keyPressEvent(event);
}

}  // namespace platform

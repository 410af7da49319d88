#pragma once
// A file list: every ordinary file of a folder that can be read, sorted
// ignoring case. A double click or Enter on a file emits DblClick().

#include <QListView>

class QStringListModel;

namespace platform {

class FileListBox : public QListView {
    Q_OBJECT
public:
    explicit FileListBox(QWidget* parent = nullptr);

    QString Path() const { return path_; }
    // Lists the folder again (also when the path is the same). Raises 68 for a
    // drive that is not ready, 76 when the folder does not exist.
    void setPath(const QString& path);
    // The selected file's name, or "" when none is selected.
    QString FileName() const;
    QStringList names() const;

signals:
    void DblClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QStringListModel* model_ = nullptr;
    QString path_;
};

}  // namespace platform

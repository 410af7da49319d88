#pragma once
// A folder list: the path's drive root and the folders down to the path, then
// the path's own sub-folders, each indented one step below its parent. A
// double click or Enter on an entry opens that folder. Setting the path from
// code emits Change() at once when the folder differs; a folder the user opens
// is set from the event loop, after the list's own handling of the double
// click or key has ended (what Change starts may pump messages).
// The list starts on the current drive's current folder.

#include <QListWidget>

namespace platform {

class DirListBox : public QListWidget {
    Q_OBJECT
public:
    explicit DirListBox(QWidget* parent = nullptr);

    // The folder shown ("D:\" at a root, "D:\Art\Clips" below it).
    QString Path() const { return path_; }
    // A folder path, or a drive alone ("d:" or "d: [LABEL]") for that drive's
    // current folder. Raises as folderListPath does (68, 52, 76).
    void setPath(const QString& path);
    // Reads the path's sub-folders again.
    void Refresh();

signals:
    void Change();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void open(QListWidgetItem* item);

    QString path_;
};

}  // namespace platform

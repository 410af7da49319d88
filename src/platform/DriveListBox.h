#pragma once
// A drive list: a drop-down of the drive table's drives ("d: [LABEL]"), which
// starts on the current drive. Setting the drive from code emits Change() at
// once when the drive differs; a drive the user picks emits it from the event
// loop, after the list's own handling of the pick has ended (what Change
// starts may pump messages, and the window may be closed then).

#include <QComboBox>

namespace platform {

class DriveListBox : public QComboBox {
    Q_OBJECT
public:
    explicit DriveListBox(QWidget* parent = nullptr);

    // The current entry's text ("d: [LABEL]").
    QString Drive() const { return currentText(); }
    // Makes the drive (its first letter counts) current. Raises 68 when the
    // table has no such drive or it is not ready; an empty text changes nothing.
    void setDrive(const QString& drive);
    // Shows the drive of the path (its first letter counts) again without
    // emitting Change: the list goes back to the drive its folder list shows
    // when the pick could not be followed.
    void showDriveOf(const QString& path);

signals:
    void Change();

private:
    int entryOf(const QString& drive) const;

    bool settingFromCode_ = false;
};

}  // namespace platform

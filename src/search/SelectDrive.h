#pragma once
// The CD-drive dialog: the user picks the drive that holds the collection's
// CDs from the list of the system's drives; OK stores it in OffLineDrive as
// its letter and colon, Cancel leaves OffLineDrive as it was. Shown modally.

#include "platform/FormWindow.h"

class QComboBox;
class QLabel;
class QPushButton;

class SelectDrive : public platform::FormWindow {
    Q_OBJECT
public:
    explicit SelectDrive(QWidget* parent = nullptr);

    QComboBox* Drive1 = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

    void OKButton_Click();
    void CancelButton_Click();

protected:
    void Form_Load() override;

private:
    void setupControls();
    // Makes `drive` the list's current drive; raises 68 when there is no such drive.
    void setDrive(const QString& drive);

    QLabel* Label1 = nullptr;
};

#pragma once
// The progress window of the update archive's unpack and of the download: a
// status line, a bar (0 to 100 until a caller changes the range) and Cancel,
// which asks the running long operation to stop and does nothing else. Callers
// show it modeless and unload it when their step ends.

#include "platform/FormWindow.h"

class QLabel;
class QProgressBar;
class QPushButton;

class Progress : public platform::FormWindow {
    Q_OBJECT
public:
    explicit Progress(QWidget* parent = nullptr);

    QLabel* Status = nullptr;
    QProgressBar* bar = nullptr;
    QPushButton* CancelButton = nullptr;

    void CancelButton_Click();

private:
    void setupControls();
};

#pragma once
// The batch progress window of catalogue and distribution builds: a message
// line and Abort, which asks the running build to stop after the picture in
// hand and does nothing else. The thumbnail run fills it through Progress.

#include "platform/FormWindow.h"

class QLabel;
class QPushButton;

// The name the window is registered under in Forms.
inline const QString DispFormName = QStringLiteral("Disp");

class Disp : public platform::FormWindow {
    Q_OBJECT
public:
    explicit Disp(QWidget* parent = nullptr);

    QLabel* MSG = nullptr;
    QPushButton* Abort = nullptr;

    // A caption that is not empty becomes the window's caption; the message
    // becomes MSG's. Shows the window modeless and pumps messages once, so
    // the window may be gone when this returns.
    void Progress(const QString& Caption, const QString& Message);
    void Abort_Click();

private:
    void setupControls();
};

// Disp's Progress on the window, loading it first when it is not loaded. Does
// nothing once the program is closing.
void showBatchProgress(const QString& Caption, const QString& Message);

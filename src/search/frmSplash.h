#pragma once
// The about box: the program's version, title and description. Shown modally;
// Close (also Enter and Esc) unloads it.

#include "platform/FormWindow.h"

class QLabel;
class QPushButton;

class frmSplash : public platform::FormWindow {
    Q_OBJECT
public:
    explicit frmSplash(QWidget* parent = nullptr);

    QLabel* lblVersion = nullptr;
    QLabel* lblProductName = nullptr;
    QLabel* AppDesc = nullptr;
    QLabel* lblPlatform = nullptr;
    QLabel* InitStat = nullptr;
    QPushButton* Command1 = nullptr;

    void Command1_Click();

protected:
    void Form_Load() override;

private:
    void setupControls();
};

// The description of the program's version block.
inline const QString AppFileDescription = QStringLiteral("Clipart Search / Browse Utility");

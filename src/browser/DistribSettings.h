#pragma once
// The distribution settings dialog: the output folder (typed, or chosen with
// a folder picker), the output format (shown only: the drawings are always
// made the one way), Cancel, and Go, which builds the distribution of the
// browser's folder. Shown modally; Go hides it but keeps it loaded, so a
// later opening shows the same folder.

#include "platform/FormWindow.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class DistribSettings : public platform::FormWindow {
    Q_OBJECT
public:
    explicit DistribSettings(QWidget* parent = nullptr);

    QLabel* OutFolderLabel = nullptr;
    QLineEdit* OutFolder = nullptr;
    QPushButton* OutBrowse = nullptr;
    QLabel* FormatLabel = nullptr;
    QComboBox* Format = nullptr;
    QPushButton* Cancel = nullptr;
    QPushButton* MakeIt = nullptr;

    void OutBrowse_Click();
    void Cancel_Click();
    void MakeIt_Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void setupControls();
    void connectHandlers();
};

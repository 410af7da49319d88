#pragma once
// The options dialog: edits the data folder, the main listing's name, the
// update archive's name, the update server, the nickname and the first-run
// date. OK stores the fields into the program-wide variables only; the
// settings store is written when the program closes. Shown modally.

#include "platform/FormWindow.h"

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

class ListOptions : public platform::FormWindow {
    Q_OBJECT
public:
    explicit ListOptions(QWidget* parent = nullptr);

    QLabel* Label2;
    QLineEdit* LocalDataFolder;
    // Index 2 "List File:", 1 "Update Archive Name:", 0 "Update Server:",
    // 3 "Nickname:", 4 "First Run Date:".
    std::array<QLabel*, 5> Label1;
    QLineEdit* LocalFile;
    QPushButton* GetListName;
    QLineEdit* RemoteFile;
    QLineEdit* Server;
    QLineEdit* Nic;
    QLineEdit* JoinD;
    QPushButton* OKButton;
    QPushButton* CancelButton;

    void GetListName_Click();
    void OKButton_Click();
    void CancelButton_Click();

protected:
    void Form_Load() override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void setupControls();
    void connectHandlers();
};

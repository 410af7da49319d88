#pragma once
// The local locations dialog: the editor of the search locations. It edits its
// own copy of the list in `Online`; only Save writes the rows back into
// Locations and LocCount, and then offers to rescan them. Modeless: the user
// goes on working in the other windows while it is open.

#include "platform/FormWindow.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

class LocalLoc : public platform::FormWindow {
    Q_OBJECT
public:
    explicit LocalLoc(QWidget* parent = nullptr);

    // Row text the description, first sub-item the folder path, in location order.
    QTreeWidget* Online;
    QLabel* Label1;
    QLabel* Label2;
    QLineEdit* Desc;
    QLineEdit* LocalDataFolder;
    QPushButton* GetListName;
    QPushButton* LocAdd;
    QPushButton* OK;
    QPushButton* Cancel;
    QPushButton* MvUp;
    QPushButton* MvDn;
    QPushButton* LocDel;

    void GetListName_Click();
    void LocAdd_Click();
    void LocDel_Click();
    void MvUp_Click();
    void MvDn_Click();
    void OK_Click();
    void Cancel_Click();

protected:
    void Form_Load() override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void setupControls();
    void connectHandlers();

    void appendRow(const QString& description, const QString& path);
    // The selected row counted from 1, or 0 when no row is selected.
    int selectedRow() const;
    void selectRow(int row);
    // Exchanges the two texts of the selected row with those of the row `step`
    // away and selects that row; the rows themselves stay in place.
    void moveSelected(int step);
    void storeRows();
};

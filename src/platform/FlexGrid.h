#pragma once
// A grid of cells that each show one picture, the control the picture
// browser's thumbnails live in. Rows and columns are counted from 0 and there
// are no fixed rows or columns. Sizes are in twips. The grid keeps each
// cell's picture compressed, not as a widget or a full bitmap, so thousands
// of thumbnails take a few kilobytes each; a cell is decoded when it is drawn.
//
// Events: Click (a left-button release), DblClick, and MouseUp with the
// button (1 left, 2 right, 4 middle), the shift state and the position in
// twips inside the grid. MouseRow and MouseCol give the cell under the mouse
// at the last mouse event (-1 outside every cell). KeyDown gives each key
// pressed in the grid, with the shift state, after the grid's own handling:
// the arrow, page and home keys have moved the current cell by then. Tab and
// Shift+Tab move the focus on to the window's next or previous control.

#include <QImage>
#include <QTableView>

namespace platform {

class CellPictureModel;

class FlexGrid : public QTableView {
    Q_OBJECT
public:
    // Cell picture alignments.
    enum { AlignLeftTop = 0, AlignCenterCenter = 4 };

    explicit FlexGrid(QWidget* parent = nullptr);

    int Rows() const;
    void setRows(int rows);  // cells of rows removed are gone; the view does not scroll
    int Cols() const;
    void setCols(int cols);

    double ColWidth(int col) const;
    void setColWidth(int col, double twips);
    double RowHeight(int row) const;
    void setRowHeight(int row, double twips);
    // Every row is at least this high.
    double RowHeightMin() const { return rowHeightMin_; }
    void setRowHeightMin(double twips);

    // The current cell. Setting a row or column outside the grid raises 381;
    // setting one from code does not scroll the grid.
    int Row() const { return row_; }
    int Col() const { return col_; }
    void setRow(int row);
    void setCol(int col);
    int MouseRow() const { return mouseRow_; }
    int MouseCol() const { return mouseCol_; }

    // The current cell's picture; a null image empties the cell.
    void setCellPicture(const QImage& picture);
    QImage CellPicture() const;
    void setCellPictureAlignment(int alignment);
    // The current cell's name for assistive tools (the cell shows no text).
    void setCellAccessibleName(const QString& name);
    // The grid's own picture: its cells as they are drawn, with their lines,
    // at the size the columns and rows take (a snapshot of a one-cell grid is
    // that cell).
    QImage Picture() const;
    // Empties every cell, its picture and its name; the rows, columns and sizes stay.
    void Clear();

signals:
    void Click();
    void DblClick();
    void MouseUp(int button, int shift, float x, float y);
    void KeyDown(int keyCode, int shift);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void trackMouse(const QPoint& position);
    void makeCurrentInPlace();
    void applyRowHeights();

    CellPictureModel* model_ = nullptr;
    double rowHeightMin_ = 0;
    int row_ = 0;
    int col_ = 0;
    int mouseRow_ = -1;
    int mouseCol_ = -1;
};

}  // namespace platform

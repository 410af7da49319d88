#include "platform/FlexGrid.h"

#include "platform/Pump.h"
#include "runtime/RuntimeError.h"

#include <QAbstractTableModel>
#include <QBuffer>
#include <QHeaderView>
#include <QImageReader>
#include <QImageWriter>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include <vector>

namespace platform {

namespace {

constexpr int PictureRole = Qt::UserRole;
constexpr int AlignmentRole = Qt::UserRole + 1;
constexpr int NameRole = Qt::AccessibleTextRole;
constexpr int CellQuality = 90;
const QColor CellBackColor = Qt::white;

// The error the grid raises for a row or column it does not have.
constexpr int InvalidIndex = 381;

QByteArray compress(const QImage& picture)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpg");
    writer.setQuality(CellQuality);
    writer.write(picture.convertToFormat(QImage::Format_RGB888));
    return bytes;
}

QImage decompress(const QByteArray& bytes)
{
    return bytes.isEmpty() ? QImage() : QImage::fromData(bytes, "jpg");
}

// While it lives, a new current cell does not scroll the view to itself.
class AutoScrollOff {
public:
    explicit AutoScrollOff(QAbstractItemView& view) : view_(view), scrolls_(view.hasAutoScroll())
    {
        view_.setAutoScroll(false);
    }
    ~AutoScrollOff() { view_.setAutoScroll(scrolls_); }
    AutoScrollOff(const AutoScrollOff&) = delete;
    AutoScrollOff& operator=(const AutoScrollOff&) = delete;

private:
    QAbstractItemView& view_;
    bool scrolls_;
};

// The shift state of the grid's events: 1 Shift, 2 Ctrl, 4 Alt, added up.
int shiftState(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
           (modifiers & Qt::AltModifier ? 4 : 0);
}

QPoint placeInCell(const QSize& picture, const QRect& cell, int alignment)
{
    if (alignment != FlexGrid::AlignCenterCenter)
        return cell.topLeft();
    return {cell.left() + (cell.width() - picture.width()) / 2, cell.top() + (cell.height() - picture.height()) / 2};
}

void drawCell(QPainter& painter, const QRect& cell, const QImage& picture, int alignment)
{
    if (picture.isNull())
        return;
    painter.save();
    painter.setClipRect(cell);
    painter.drawImage(placeInCell(picture.size(), cell, alignment), picture);
    painter.restore();
}

class CellPictureDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        painter->fillRect(option.rect, CellBackColor);
        drawCell(*painter, option.rect, decompress(index.data(PictureRole).toByteArray()),
                 index.data(AlignmentRole).toInt());
        if (option.state & QStyle::State_HasFocus) {
            QPen pen(option.palette.highlight(), 2);
            painter->setPen(pen);
            painter->drawRect(option.rect.adjusted(1, 1, -1, -1));
        }
    }
};

}  // namespace

// The cells' pictures, compressed, row by row.
class CellPictureModel : public QAbstractTableModel {
public:
    struct Cell {
        QByteArray picture;
        int alignment = FlexGrid::AlignLeftTop;
        QString name;
    };

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : rows_; }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : cols_; }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid())
            return {};
        const Cell& cell = cells_[flat(index.row(), index.column())];
        if (role == PictureRole)
            return cell.picture;
        if (role == AlignmentRole)
            return cell.alignment;
        if (role == NameRole)
            return cell.name;
        return {};
    }

    void resize(int rows, int cols)
    {
        if (rows == rows_ && cols == cols_)
            return;
        if (cols != cols_) {
            beginResetModel();
            std::vector<Cell> cells(static_cast<std::size_t>(rows) * cols);
            for (int r = 0; r < std::min(rows, rows_); ++r)
                for (int c = 0; c < std::min(cols, cols_); ++c)
                    cells[static_cast<std::size_t>(r) * cols + c] = std::move(cells_[flat(r, c)]);
            cells_ = std::move(cells);
            rows_ = rows;
            cols_ = cols;
            endResetModel();
        } else if (rows > rows_) {
            beginInsertRows({}, rows_, rows - 1);
            cells_.resize(static_cast<std::size_t>(rows) * cols_);
            rows_ = rows;
            endInsertRows();
        } else {
            beginRemoveRows({}, rows, rows_ - 1);
            cells_.resize(static_cast<std::size_t>(rows) * cols_);
            rows_ = rows;
            endRemoveRows();
        }
    }

    Cell& cell(int row, int col) { return cells_[flat(row, col)]; }
    const Cell& cell(int row, int col) const { return cells_[flat(row, col)]; }

    void changed(int row, int col) { emit dataChanged(index(row, col), index(row, col)); }

    void clear()
    {
        for (Cell& cell : cells_) {
            cell.picture.clear();
            cell.name.clear();
        }
        if (rows_ > 0 && cols_ > 0)
            emit dataChanged(index(0, 0), index(rows_ - 1, cols_ - 1));
    }

private:
    std::size_t flat(int row, int col) const { return static_cast<std::size_t>(row) * cols_ + col; }

    int rows_ = 0;
    int cols_ = 0;
    std::vector<Cell> cells_;
};

FlexGrid::FlexGrid(QWidget* parent) : QTableView(parent), model_(new CellPictureModel(this))
{
    setModel(model_);
    setItemDelegate(new CellPictureDelegate(this));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setMinimumSectionSize(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setTabKeyNavigation(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    model_->resize(2, 2);
}

int FlexGrid::Rows() const { return model_->rowCount(); }
int FlexGrid::Cols() const { return model_->columnCount(); }

void FlexGrid::setRows(int rows)
{
    if (rows < 0)
        runtime::raise(runtime::err::InvalidPropertyValue);
    // Rows taken away from under the current cell move it up; that move does
    // not scroll either.
    const AutoScrollOff inPlace(*this);
    model_->resize(rows, Cols());
    row_ = std::min(row_, std::max(0, rows - 1));
}

void FlexGrid::setCols(int cols)
{
    if (cols < 0)
        runtime::raise(runtime::err::InvalidPropertyValue);
    model_->resize(Rows(), cols);
    col_ = std::min(col_, std::max(0, cols - 1));
    applyRowHeights();
}

double FlexGrid::ColWidth(int col) const { return pixelsToTwips(columnWidth(col)); }

void FlexGrid::setColWidth(int col, double twips)
{
    if (col < 0 || col >= Cols())
        runtime::raise(InvalidIndex);
    setColumnWidth(col, twipsToPixels(twips));
}

double FlexGrid::RowHeight(int row) const { return pixelsToTwips(rowHeight(row)); }

void FlexGrid::setRowHeight(int row, double twips)
{
    if (row < 0 || row >= Rows())
        runtime::raise(InvalidIndex);
    QTableView::setRowHeight(row, std::max(twipsToPixels(twips), twipsToPixels(rowHeightMin_)));
}

void FlexGrid::setRowHeightMin(double twips)
{
    rowHeightMin_ = twips;
    applyRowHeights();
}

// Rows take their default height, at least the minimum; the default applies
// to rows added later too, so thousands of rows cost nothing each.
void FlexGrid::applyRowHeights()
{
    const int minimum = twipsToPixels(rowHeightMin_);
    verticalHeader()->setDefaultSectionSize(std::max(minimum, fontMetrics().height() + 4));
}

void FlexGrid::setRow(int row)
{
    if (row < 0 || row >= Rows())
        runtime::raise(InvalidIndex);
    row_ = row;
    makeCurrentInPlace();
}

void FlexGrid::setCol(int col)
{
    if (col < 0 || col >= Cols())
        runtime::raise(InvalidIndex);
    col_ = col;
    makeCurrentInPlace();
}

// A current cell set from code does not scroll the grid: a run filling it
// leaves the user looking where they were.
void FlexGrid::makeCurrentInPlace()
{
    const AutoScrollOff inPlace(*this);
    setCurrentIndex(model_->index(row_, col_));
}

void FlexGrid::setCellPicture(const QImage& picture)
{
    if (Rows() == 0 || Cols() == 0)
        runtime::raise(InvalidIndex);
    model_->cell(row_, col_).picture = picture.isNull() ? QByteArray() : compress(picture);
    model_->changed(row_, col_);
}

QImage FlexGrid::CellPicture() const
{
    if (Rows() == 0 || Cols() == 0)
        return {};
    return decompress(model_->cell(row_, col_).picture);
}

void FlexGrid::setCellPictureAlignment(int alignment)
{
    if (Rows() == 0 || Cols() == 0)
        runtime::raise(InvalidIndex);
    model_->cell(row_, col_).alignment = alignment;
    model_->changed(row_, col_);
}

void FlexGrid::setCellAccessibleName(const QString& name)
{
    if (Rows() == 0 || Cols() == 0)
        runtime::raise(InvalidIndex);
    model_->cell(row_, col_).name = name;
    model_->changed(row_, col_);
}

QImage FlexGrid::Picture() const
{
    int width = 0;
    int height = 0;
    for (int c = 0; c < Cols(); ++c)
        width += columnWidth(c);
    for (int r = 0; r < Rows(); ++r)
        height += rowHeight(r);
    QImage picture(std::max(1, width), std::max(1, height), QImage::Format_RGB32);
    picture.fill(CellBackColor);
    QPainter painter(&picture);
    int top = 0;
    for (int r = 0; r < Rows(); ++r) {
        int left = 0;
        for (int c = 0; c < Cols(); ++c) {
            const CellPictureModel::Cell& cell = model_->cell(r, c);
            drawCell(painter, QRect(left, top, columnWidth(c), rowHeight(r)), decompress(cell.picture), cell.alignment);
            left += columnWidth(c);
        }
        top += rowHeight(r);
    }
    return picture;
}

void FlexGrid::Clear() { model_->clear(); }

void FlexGrid::trackMouse(const QPoint& position)
{
    mouseRow_ = rowAt(position.y());
    mouseCol_ = columnAt(position.x());
}

void FlexGrid::mousePressEvent(QMouseEvent* event)
{
    trackMouse(event->position().toPoint());
    QTableView::mousePressEvent(event);
}

void FlexGrid::mouseReleaseEvent(QMouseEvent* event)
{
    trackMouse(event->position().toPoint());
    QTableView::mouseReleaseEvent(event);
    const int button = event->button() == Qt::LeftButton ? 1 : event->button() == Qt::RightButton ? 2 : 4;
    const int shift = shiftState(event->modifiers());
    const QPointF at = event->position();
    emit MouseUp(button, shift, static_cast<float>(at.x() * TwipsPerPixel), static_cast<float>(at.y() * TwipsPerPixel));
    if (button == 1)
        emit Click();
}

void FlexGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    trackMouse(event->position().toPoint());
    QTableView::mouseDoubleClickEvent(event);
    emit DblClick();
}

void FlexGrid::keyPressEvent(QKeyEvent* event)
{
    QTableView::keyPressEvent(event);
    emit KeyDown(event->key(), shiftState(event->modifiers()));
}

void FlexGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (current.isValid()) {
        row_ = current.row();
        col_ = current.column();
    }
}

}  // namespace platform

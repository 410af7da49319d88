#include "platform/FormWindow.h"

#include "platform/Forms.h"
#include "platform/Pump.h"

#include <QCloseEvent>
#include <QHideEvent>
#include <QMenuBar>
#include <QMoveEvent>
#include <QPointer>
#include <QResizeEvent>
#include <QWindow>

namespace platform {

FormWindow::FormWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, FormBackColor);
    setPalette(palette);
    setAutoFillBackground(true);
}

void FormWindow::load()
{
    if (loaded_)
        return;
    loaded_ = true;
    Form_Load();
}

void FormWindow::Show(bool modal, QWidget* owner)
{
    if (unloaded_)
        return;
    QPointer<FormWindow> self(this);
    load();
    // Closed during its own load: nothing is left to show.
    if (!self || unloaded_)
        return;
    if (owner) {
        QWidget* ownerWindow = owner->window();
        ownerWindow->winId();
        winId();
        windowHandle()->setTransientParent(ownerWindow->windowHandle());
    }
    if (!modal) {
        show();
        raise();
        return;
    }
    // Modality takes effect when the window is shown, so set it first. A modal
    // window blocks every window of the program, not only its owner: a window
    // left usable beneath it could unload the owner under the modal loop.
    const bool wasVisible = isVisible();
    if (wasVisible)
        hide();
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    Forms::runModal(*this, owner);
    if (self && !self->unloaded_)
        self->setWindowModality(Qt::NonModal);
}

void FormWindow::Hide() { hide(); }

bool FormWindow::Unload()
{
    if (unloaded_)
        return true;
    if (unloading_)
        return false;
    if (loaded_ && !runFormUnload())
        return false;
    unloaded_ = true;
    hide();
    emit unloaded();
    deleteLater();
    return true;
}

bool FormWindow::runFormUnload()
{
    unloading_ = true;
    bool cancel = false;
    try {
        Form_Unload(cancel);
    } catch (...) {
        unloading_ = false;
        throw;
    }
    unloading_ = false;
    return !cancel;
}

double FormWindow::Top() const { return pixelsToTwips(frameGeometry().top()); }
double FormWindow::Left() const { return pixelsToTwips(frameGeometry().left()); }
double FormWindow::Width() const { return pixelsToTwips(frameGeometry().width()); }
double FormWindow::Height() const { return pixelsToTwips(frameGeometry().height()); }

void FormWindow::setTop(double twips) { move(pos().x(), twipsToPixels(twips)); }
void FormWindow::setLeft(double twips) { move(twipsToPixels(twips), pos().y()); }

void FormWindow::setWidth(double twips)
{
    const int outer = twipsToPixels(twips);
    if (frameKnown())
        pendingOuterWidth_.reset();
    else if (outer != width())
        pendingOuterWidth_ = outer;
    const int frame = frameGeometry().width() - width();
    resize(std::max(0, outer - frame), height());
}

void FormWindow::setHeight(double twips)
{
    const int outer = twipsToPixels(twips);
    if (frameKnown())
        pendingOuterHeight_.reset();
    else if (outer != height())
        pendingOuterHeight_ = outer;
    const int frame = frameGeometry().height() - height();
    resize(width(), std::max(0, outer - frame));
}

void FormWindow::fitPendingOuterSize()
{
    if ((!pendingOuterWidth_ && !pendingOuterHeight_) || !frameKnown())
        return;
    const QSize frame = frameGeometry().size() - size();
    const int fittedWidth = pendingOuterWidth_ ? std::max(0, *pendingOuterWidth_ - frame.width()) : width();
    const int fittedHeight = pendingOuterHeight_ ? std::max(0, *pendingOuterHeight_ - frame.height()) : height();
    pendingOuterWidth_.reset();
    pendingOuterHeight_.reset();
    resize(fittedWidth, fittedHeight);
}

double FormWindow::ScaleWidth() const { return pixelsToTwips(width()); }
double FormWindow::ScaleHeight() const { return pixelsToTwips(height() - menuBarHeight()); }

void FormWindow::setClientSize(double widthTwips, double heightTwips)
{
    resize(twipsToPixels(widthTwips), twipsToPixels(heightTwips) + menuBarHeight());
}

void FormWindow::setMenuBar(QMenuBar* menuBar)
{
    menuBar_ = menuBar;
    menuBar_->setParent(this);
    layoutMenuBar();
}

int FormWindow::menuBarHeight() const { return menuBar_ ? menuBar_->sizeHint().height() : 0; }

void FormWindow::layoutMenuBar()
{
    if (!menuBar_)
        return;
    const int height = menuBarHeight();
    menuBar_->setGeometry(0, 0, width(), height);
    // The bar's height is only final once its menus are in and it is polished;
    // controls placed before then move down with it.
    const int shift = height - contentsMargins().top();
    if (shift == 0)
        return;
    setContentsMargins(0, height, 0, 0);
    const QList<QWidget*> children = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        if (child != menuBar_ && !child->isWindow())
            child->move(child->x(), child->y() + shift);
    }
    if (!unloaded_)
        Form_Resize();
}

void FormWindow::closeEvent(QCloseEvent* event)
{
    if (Unload())
        event->accept();
    else
        event->ignore();
}

void FormWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    layoutMenuBar();
}

// Mapping a window moves it into its new frame: the first moment its frame is known.
void FormWindow::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    fitPendingOuterSize();
}

void FormWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutMenuBar();
    if (!unloaded_)
        Form_Resize();
}

void FormWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    // A minimised window gets a spontaneous hide; only a real hide counts.
    if (!event->spontaneous())
        emit hidden();
}

void placeTwips(QWidget* control, double left, double top, double width, double height)
{
    const QPoint origin = control->parentWidget() ? control->parentWidget()->contentsRect().topLeft()
                                                  : QPoint();
    control->setGeometry(origin.x() + twipsToPixels(left), origin.y() + twipsToPixels(top),
                         twipsToPixels(width), twipsToPixels(height));
}

}  // namespace platform

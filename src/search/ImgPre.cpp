#include "search/ImgPre.h"

#include "platform/Pump.h"
#include "runtime/Numbers.h"
#include "search/PreviewFit.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPixmap>

namespace {

QSizeF sizeInTwips(const QWidget& widget)
{
    return {platform::pixelsToTwips(widget.width()), platform::pixelsToTwips(widget.height())};
}

}  // namespace

ImgPre::ImgPre(QWidget* parent) : platform::FormWindow(parent)
{
    setupControls();
    setupMenus();
    connect(PreCopy, &QAction::triggered, this, &ImgPre::PreCopy_Click);
    Pic->installEventFilter(this);
}

void ImgPre::setupControls()
{
    setWindowTitle(QStringLiteral("Brisca Image Preview"));
    setClientSize(6000, 4500);
    PicBox = new QWidget(this);
    PicBox->setObjectName(QStringLiteral("PicBox"));
    Pic = new QLabel(PicBox);
    Pic->setObjectName(QStringLiteral("Pic"));
    Pic->setScaledContents(true);
}

void ImgPre::setupMenus()
{
    auto* menuBar = new QMenuBar(this);
    PreEdit = menuBar->addMenu(QStringLiteral("Edit"));
    PreCopy = PreEdit->addAction(QStringLiteral("Copy"));
    // The popup shows Copy as its default entry.
    PreEdit->setDefaultAction(PreCopy);
    setMenuBar(menuBar);
}

void ImgPre::setPicture(const platform::Picture& picture)
{
    picture_ = picture;
    Pic->setPixmap(QPixmap::fromImage(picture_.image));
}

void ImgPre::Form_Resize()
{
    platform::placeTwips(PicBox, 0, 0, ScaleWidth(), ScaleHeight());
    const QSize own(static_cast<int>(runtime::roundHalfEven(picture_.sizeHimetric.width())),
                    static_cast<int>(runtime::roundHalfEven(picture_.sizeHimetric.height())));
    if (const auto shown = fitPreviewPicture(sizeInTwips(*PicBox), own))
        Pic->resize(platform::twipsToPixels(shown->width()), platform::twipsToPixels(shown->height()));

    // Centred on the size the control really took.
    const QPoint topLeft = centrePreviewPicture(
        {platform::pixelsToTwips(PicBox->contentsRect().width()),
         platform::pixelsToTwips(PicBox->contentsRect().height())},
        sizeInTwips(*Pic));
    Pic->move(platform::twipsToPixels(topLeft.x()), platform::twipsToPixels(topLeft.y()));
}

void ImgPre::Form_Activate() { Form_Resize(); }

bool ImgPre::event(QEvent* event)
{
    const bool handled = platform::FormWindow::event(event);
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return handled;
}

bool ImgPre::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Pic && event->type() == QEvent::MouseButtonRelease)
        Pic_MouseUp(static_cast<QMouseEvent*>(event)->position().toPoint());
    return platform::FormWindow::eventFilter(watched, event);
}

void ImgPre::Pic_MouseUp(QPoint position)
{
    // Any button; the entries react to either button.
    PreEdit->popup(Pic->mapToGlobal(position));
}

void ImgPre::PreCopy_Click()
{
    // The picture at its own size, not the scaled view.
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setImage(picture_.image);
}

#include "browser/PictureBox.h"

#include "platform/Pump.h"

#include <QPainter>

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {}

void PictureBox::setPicture(const platform::Picture& picture)
{
    picture_ = picture;
    fitToPicture();
    update();
}

void PictureBox::setAutoSize(bool on)
{
    autoSize_ = on;
    fitToPicture();
}

void PictureBox::setBackColor(QColor colour)
{
    backColor_ = colour;
    update();
}

void PictureBox::setScaleMode(int mode) { scaleMode_ = mode == Pixels ? Pixels : Twips; }

double PictureBox::ScaleWidth() const { return inScale(width()); }

double PictureBox::ScaleHeight() const { return inScale(height()); }

double PictureBox::inScale(int pixels) const
{
    return scaleMode_ == Pixels ? pixels : platform::pixelsToTwips(pixels);
}

void PictureBox::fitToPicture()
{
    if (autoSize_ && !picture_.image.isNull())
        resize(platform::pixelsFromHimetric(picture_.sizeHimetric));
}

void PictureBox::drawContents(QPainter& painter) const
{
    painter.fillRect(rect(), backColor_);
    if (picture_.image.isNull())
        return;
    const QRect shown(QPoint(0, 0), platform::pixelsFromHimetric(picture_.sizeHimetric));
    if (shown.size() == picture_.image.size()) {
        painter.drawImage(shown.topLeft(), picture_.image);
    } else {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(shown, picture_.image);
    }
}

void PictureBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    drawContents(painter);
}

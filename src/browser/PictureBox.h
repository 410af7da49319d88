#pragma once
// A picture box: a control that shows its picture at the picture's own size
// in its top left corner, over its back colour. With auto size on, the box
// takes the size of its picture. Its scale is in twips (the default) or in
// pixels. What it shows can be drawn into any painter, which is how its
// pixels are captured into an image.

#include "platform/PictureLoader.h"

#include <QColor>
#include <QWidget>

class PictureBox : public QWidget {
    Q_OBJECT
public:
    enum ScaleModes { Twips = 1, Pixels = 3 };

    explicit PictureBox(QWidget* parent = nullptr);

    // An empty picture (a null image) clears the box.
    void setPicture(const platform::Picture& picture);
    const platform::Picture& picture() const { return picture_; }

    bool AutoSize() const { return autoSize_; }
    void setAutoSize(bool on);
    QColor BackColor() const { return backColor_; }
    void setBackColor(QColor colour);

    int ScaleMode() const { return scaleMode_; }
    void setScaleMode(int mode);  // Twips or Pixels
    // The inside of the box in the scale's units.
    double ScaleWidth() const;
    double ScaleHeight() const;

    // Draws what the box shows, its top left corner at the painter's origin.
    void drawContents(QPainter& painter) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void fitToPicture();
    double inScale(int pixels) const;

    platform::Picture picture_;
    bool autoSize_ = false;
    QColor backColor_{240, 240, 240};  // the classic control's button-face grey
    int scaleMode_ = Twips;
};

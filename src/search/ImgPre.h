#pragma once
// The image preview window: one picture at a time, scaled to the window while
// keeping its proportions and centred, with "Copy" to the clipboard on its
// "Edit" menu and as a popup over the picture. Filled and shown only through
// ShowImagePreview, and reused for every preview.

#include "platform/FormWindow.h"
#include "platform/PictureLoader.h"

class QAction;
class QLabel;
class QMenu;

class ImgPre : public platform::FormWindow {
    Q_OBJECT
public:
    explicit ImgPre(QWidget* parent = nullptr);

    // Pic's picture, unscaled; the next fit shows it.
    void setPicture(const platform::Picture& picture);
    const platform::Picture& picture() const { return picture_; }

    QWidget* PicBox = nullptr;
    QLabel* Pic = nullptr;  // stretches the picture to its own size
    QMenu* PreEdit = nullptr;
    QAction* PreCopy = nullptr;

    void PreCopy_Click();

protected:
    void Form_Resize() override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setupControls();
    void setupMenus();
    void Form_Activate();
    void Pic_MouseUp(QPoint position);

    platform::Picture picture_;
};

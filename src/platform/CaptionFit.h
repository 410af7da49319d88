#pragma once
// The windows' captions were laid out for a narrower font than the desktop's.
// Rather than shrink each caption that does not fit on its own, which leaves a
// window with mixed text sizes, a window gets one text size: the largest, from
// the desktop's own down by half points, at which every caption fits its
// place in width and height.

class QWidget;

namespace platform {

// A caption fits its place at the control's font: a label's or check box's
// whole text (with its box) within its size, a button's text within its frame
// and margins across and within its frame from top to bottom. Other controls
// hold no caption.
bool captionFits(const QWidget& control);

// Sets one point size on every control of the window (the menu bar and its
// menus keep the desktop's), the largest at which every caption fits; 6 points
// when none does. Call it once the window's controls are all in place.
void fitCaptions(QWidget& window);

}  // namespace platform

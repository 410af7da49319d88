#pragma once
// The frame the options and locations dialogs share: a fixed dialog frame
// without minimise or maximise buttons and without a taskbar entry, its client
// area given in twips.

#include <initializer_list>

class QPushButton;
class QWidget;

void makeFixedDialog(QWidget& window, double clientWidthTwips, double clientHeightTwips);

// The "..." browse button, its caption bold.
void makeBrowseButton(QPushButton& button);

// Centres the window on the window it is shown above (on the screen when it has
// no owner), unless it was already placed: call it from the window's showEvent.
void centreOnOwner(QWidget& window);

// Chains the controls in this tab order; the first has the focus when the
// dialog opens.
void setTabOrderChain(std::initializer_list<QWidget*> order);

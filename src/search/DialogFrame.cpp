#include "search/DialogFrame.h"

#include "platform/Pump.h"

#include <QPushButton>
#include <QScreen>
#include <QWidget>
#include <QWindow>

void makeFixedDialog(QWidget& window, double clientWidthTwips, double clientHeightTwips)
{
    window.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    window.setFixedSize(platform::twipsToPixels(clientWidthTwips), platform::twipsToPixels(clientHeightTwips));
}

void makeBrowseButton(QPushButton& button)
{
    button.setText(QStringLiteral("..."));
    QFont bold = button.font();
    bold.setBold(true);
    button.setFont(bold);
}

void centreOnOwner(QWidget& window)
{
    if (window.testAttribute(Qt::WA_Moved))
        return;
    const QWindow* owner = window.windowHandle() ? window.windowHandle()->transientParent() : nullptr;
    const QScreen* screen = window.screen();
    if (!owner && !screen)
        return;
    QRect frame = window.frameGeometry();
    frame.moveCenter(owner ? owner->frameGeometry().center() : screen->availableGeometry().center());
    window.move(frame.topLeft());
}

void setTabOrderChain(std::initializer_list<QWidget*> order)
{
    QWidget* previous = nullptr;
    for (QWidget* control : order) {
        if (previous)
            QWidget::setTabOrder(previous, control);
        previous = control;
    }
    if (order.size() > 0)
        (*order.begin())->setFocus();
}

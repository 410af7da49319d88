#include "search/DialogFrame.h"

#include "platform/Pump.h"

#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
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

void fitButtonCaption(QPushButton& button)
{
    // The option carries no text, so the style adds only the button's frame and
    // margins to the text's size and leaves out its minimum button width.
    QStyleOptionButton option;
    option.initFrom(&button);
    if (button.autoDefault())
        option.features |= QStyleOptionButton::AutoDefaultButton;
    const auto neededWidth = [&] {
        const QSize text(button.fontMetrics().horizontalAdvance(button.text()), button.fontMetrics().height());
        return button.style()->sizeFromContents(QStyle::CT_PushButton, &option, text, &button).width();
    };
    QFont font = button.font();
    while (neededWidth() > button.width() && font.pointSizeF() > 6) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
        button.setFont(font);
    }
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

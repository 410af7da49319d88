#include "platform/CaptionFit.h"

#include <QCheckBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>

namespace platform {

namespace {

constexpr double SmallestPointSize = 6;

bool buttonCaptionFits(const QPushButton& button)
{
    // The option carries no text, so the style adds only the button's frame and
    // margins to the text's size and leaves out its minimum button width.
    QStyleOptionButton option;
    option.initFrom(&button);
    if (button.autoDefault())
        option.features |= QStyleOptionButton::AutoDefaultButton;
    const QSize text(button.fontMetrics().horizontalAdvance(button.text()), button.fontMetrics().height());
    const int neededWidth = button.style()->sizeFromContents(QStyle::CT_PushButton, &option, text, &button).width();
    option.rect = button.rect();
    const QRect inside = button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button);
    return neededWidth <= button.width() && text.height() <= inside.height();
}

// Every control of the window but the menu bar and what it holds.
QList<QWidget*> windowControls(QWidget& window)
{
    QList<QWidget*> controls;
    for (QWidget* control : window.findChildren<QWidget*>()) {
        const bool inMenuBar = qobject_cast<QMenuBar*>(control) || qobject_cast<QMenuBar*>(control->parentWidget());
        if (!inMenuBar && !control->isWindow())
            controls << control;
    }
    return controls;
}

void setPointSize(const QList<QWidget*>& controls, double points)
{
    for (QWidget* control : controls) {
        QFont font = control->font();
        font.setPointSizeF(points);
        control->setFont(font);
    }
}

}  // namespace

bool captionFits(const QWidget& control)
{
    if (const auto* label = qobject_cast<const QLabel*>(&control)) {
        const QSize needed = label->sizeHint();
        return label->text().isEmpty() || (needed.width() <= label->width() && needed.height() <= label->height());
    }
    if (const auto* button = qobject_cast<const QPushButton*>(&control))
        return buttonCaptionFits(*button);
    if (const auto* box = qobject_cast<const QCheckBox*>(&control)) {
        const QSize needed = box->sizeHint();
        return needed.width() <= box->width() && needed.height() <= box->height();
    }
    return true;
}

void fitCaptions(QWidget& window)
{
    const QList<QWidget*> controls = windowControls(window);
    const auto allFit = [&] {
        return std::all_of(controls.begin(), controls.end(), [](const QWidget* control) { return captionFits(*control); });
    };
    for (double points = window.font().pointSizeF(); !allFit() && points > SmallestPointSize;) {
        points = std::max(SmallestPointSize, points - 0.5);
        setPointSize(controls, points);
    }
}

}  // namespace platform

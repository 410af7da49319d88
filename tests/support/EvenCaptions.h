#pragma once
// Checks that a window reads evenly at the desktop font: every control but the
// menu bar (which keeps the desktop's) has one text size; at that size no
// caption is cut, across or from top to bottom; and half a point more would
// not fit them all.

#include "platform/CaptionFit.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <gtest/gtest.h>
#include <set>

namespace evencaptions {

inline QList<QWidget*> controls(QWidget& window)
{
    QList<QWidget*> found;
    for (QWidget* control : window.findChildren<QWidget*>()) {
        if (!control->isWindow() && !qobject_cast<QMenuBar*>(control) &&
            !qobject_cast<QMenuBar*>(control->parentWidget()))
            found << control;
    }
    return found;
}

// The captions whose text does not show whole in its place.
inline QStringList cutCaptions(QWidget& window)
{
    QStringList cut;
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        const QSize needed = label->sizeHint();
        if (!label->text().isEmpty() && (needed.width() > label->width() || needed.height() > label->height()))
            cut << label->text();
    }
    for (const QCheckBox* box : window.findChildren<QCheckBox*>()) {
        if (box->sizeHint().width() > box->width() || box->sizeHint().height() > box->height())
            cut << box->text();
    }
    for (const QPushButton* button : window.findChildren<QPushButton*>()) {
        QStyleOptionButton option;
        option.initFrom(button);
        const QRect inside = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        if (button->fontMetrics().horizontalAdvance(button->text()) > inside.width() ||
            button->fontMetrics().height() > inside.height())
            cut << button->text();
    }
    return cut;
}

inline void setPointSize(const QList<QWidget*>& controls, double points)
{
    for (QWidget* control : controls) {
        QFont font = control->font();
        font.setPointSizeF(points);
        control->setFont(font);
    }
}

}  // namespace evencaptions

inline void expectEvenCaptionsThatFit(QWidget& window)
{
    const QList<QWidget*> controls = evencaptions::controls(window);
    std::set<double> sizes;
    for (const QWidget* control : controls)
        sizes.insert(control->font().pointSizeF());
    ASSERT_EQ(sizes.size(), 1u) << window.windowTitle().toStdString();
    EXPECT_EQ(evencaptions::cutCaptions(window), QStringList()) << window.windowTitle().toStdString();

    for (const QMenuBar* menuBar : window.findChildren<QMenuBar*>())
        EXPECT_EQ(menuBar->font().pointSizeF(), QApplication::font(menuBar).pointSizeF());

    const double size = *sizes.begin();
    if (size < QApplication::font().pointSizeF()) {
        evencaptions::setPointSize(controls, size + 0.5);
        EXPECT_FALSE(std::all_of(controls.begin(), controls.end(),
                                 [](const QWidget* control) { return platform::captionFits(*control); }))
            << window.windowTitle().toStdString() << ": " << size + 0.5 << " points fit as well";
        evencaptions::setPointSize(controls, size);
    }
}

#pragma once
// Checks a window's tab order and its controls' places together: activates the
// window, then from the control that has the focus walks the tab chain,
// expecting each control in turn at its place (in pixels).

#include <QApplication>
#include <QRect>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <span>
#include <utility>

inline void expectTabChain(QWidget& window, std::span<const std::pair<QWidget*, QRect>> controls)
{
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    for (const auto& [control, place] : controls) {
        EXPECT_EQ(QApplication::focusWidget(), control);
        EXPECT_EQ(control->geometry(), place) << control->metaObject()->className();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
}

// One text size per window: the largest at which every caption fits, the menu
// bar left at the desktop's.

#include "platform/CaptionFit.h"

#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

struct FitCase {
    const char* name;
    const char* caption;
    int spareWidth;           // pixels beside the caption's width at the desktop font (negative: short)
    bool keepsDesktopSize;
};

void PrintTo(const FitCase& c, std::ostream* os) { *os << c.name; }

class CaptionFitTest : public ::testing::TestWithParam<FitCase> {};

TEST_P(CaptionFitTest, ChoosesTheLargestSizeAtWhichEveryCaptionFits)
{
    const FitCase& c = GetParam();
    QWidget window;
    auto* menu = new QMenuBar(&window);
    menu->addMenu("&File");
    auto* caption = new QLabel(c.caption, &window);
    caption->resize(caption->sizeHint() + QSize(c.spareWidth, 2));
    auto* value = new QLabel("0", &window);
    value->resize(200, 30);
    auto* button = new QPushButton("OK", &window);
    button->resize(120, 30);
    const double desktop = window.font().pointSizeF();

    platform::fitCaptions(window);

    const double chosen = caption->font().pointSizeF();
    EXPECT_EQ(chosen == desktop, c.keepsDesktopSize);
    EXPECT_EQ(value->font().pointSizeF(), chosen);
    EXPECT_EQ(button->font().pointSizeF(), chosen);
    EXPECT_EQ(menu->font().pointSizeF(), desktop);
    EXPECT_TRUE(platform::captionFits(*caption) || chosen == 6);
    if (chosen > 6 && chosen < desktop) {
        QFont larger = caption->font();
        larger.setPointSizeF(chosen + 0.5);
        caption->setFont(larger);
        EXPECT_GT(caption->sizeHint().width(), caption->width());
    }
    EXPECT_GE(chosen, 6);
}

INSTANTIATE_TEST_SUITE_P(
    Captions, CaptionFitTest,
    ::testing::Values(FitCase{"RoomToSpare", "Files Searched:", 10, true},
                      FitCase{"ExactFit", "Files Searched:", 0, true},
                      FitCase{"APixelShort", "Files Searched:", -1, false},
                      FitCase{"FarTooNarrow", "Select the CD-Rom drive you wish to use", -150, false},
                      FitCase{"NeverFits", "Select the CD-Rom drive you wish to use from the drop down list.", -370,
                              false}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace

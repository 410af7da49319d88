// The window life shared by every window: loading on first use, unloading
// once (with cancel and nested requests), modal runs and twips placement.

#include "platform/Forms.h"
#include "platform/Pump.h"
#include "runtime/RuntimeError.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using platform::FormWindow;
using platform::Forms;

namespace {

class CountingForm : public FormWindow {
public:
    static inline int loads = 0;
    int unloads = 0;
    bool cancelUnload = false;
    std::function<void()> duringUnload;

protected:
    void Form_Load() override { ++loads; }
    void Form_Unload(bool& cancel) override
    {
        ++unloads;
        if (duringUnload)
            duringUnload();
        cancel = cancelUnload;
    }
};

class FormsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CountingForm::loads = 0;
        Forms::registerForm("Counting", [] { return new CountingForm; });
    }
    void TearDown() override { Forms::reset(); }

    static CountingForm& counting() { return Forms::get<CountingForm>("Counting"); }
};

int errorNumberOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const runtime::RuntimeError& error) {
        return error.number();
    }
    return 0;
}

TEST_F(FormsTest, LoadsOnFirstUseOnceAndRefusesUnknownNames)
{
    CountingForm& first = counting();
    EXPECT_EQ(&first, &counting());
    EXPECT_EQ(CountingForm::loads, 1);
    EXPECT_TRUE(Forms::isLoaded("Counting"));
    EXPECT_EQ(first.palette().color(QPalette::Window), QColor(247, 239, 231));

    EXPECT_EQ(errorNumberOf([] { Forms::get("Nowhere"); }), 91);
    EXPECT_FALSE(Forms::isLoaded("Nowhere"));
    EXPECT_TRUE(Forms::unload("Nowhere"));
    EXPECT_EQ(Forms::find("Nowhere"), nullptr);
}

TEST_F(FormsTest, UnloadRunsOnceIgnoresNestedRequestsAndLoadsAnewLater)
{
    CountingForm& form = counting();
    form.show();
    bool nestedResult = true;
    form.duringUnload = [&] { nestedResult = Forms::unload("Counting"); };
    QObject::connect(&form, &FormWindow::unloaded, [] { EXPECT_FALSE(Forms::isLoaded("Counting")); });

    EXPECT_TRUE(Forms::unload("Counting"));
    EXPECT_FALSE(nestedResult);
    EXPECT_EQ(form.unloads, 1);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(form.Unload());  // already gone: nothing runs again
    EXPECT_EQ(form.unloads, 1);
    EXPECT_FALSE(Forms::isLoaded("Counting"));

    CountingForm& again = counting();
    EXPECT_NE(&again, &form);
    EXPECT_EQ(CountingForm::loads, 2);
}

TEST_F(FormsTest, AWindowSetUpBeforeItsFirstShowLoadsAtTheShow)
{
    FormWindow& created = Forms::instance("Counting");
    created.setProperty("StartingAddress", "C:\\x.htm");
    EXPECT_EQ(CountingForm::loads, 0);
    EXPECT_FALSE(Forms::isLoaded("Counting"));
    created.Show();
    EXPECT_EQ(CountingForm::loads, 1);
    EXPECT_EQ(&counting(), &created);
    EXPECT_EQ(created.property("StartingAddress").toString(), "C:\\x.htm");

}

TEST_F(FormsTest, AWindowNeverLoadedUnloadsWithoutItsHandler)
{
    auto& unused = static_cast<CountingForm&>(Forms::instance("Counting"));
    EXPECT_TRUE(Forms::unload("Counting"));
    EXPECT_EQ(unused.unloads, 0);
    EXPECT_EQ(CountingForm::loads, 0);
}

TEST_F(FormsTest, CancelledUnloadAndCloseKeepTheWindow)
{
    CountingForm& form = counting();
    form.show();
    form.cancelUnload = true;
    EXPECT_FALSE(Forms::unload("Counting"));
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.unloads, 2);
    EXPECT_TRUE(Forms::isLoaded("Counting"));

    form.cancelUnload = false;
    EXPECT_TRUE(form.close());
    EXPECT_FALSE(Forms::isLoaded("Counting"));
}

TEST_F(FormsTest, NoWindowIsLoadedAgainOnceTheProgramIsClosing)
{
    counting();
    Forms::setClosing(true);
    EXPECT_EQ(&counting(), Forms::find("Counting"));  // a loaded window is still reachable
    ASSERT_TRUE(Forms::unload("Counting"));
    EXPECT_EQ(errorNumberOf([] { counting(); }), 91);
    EXPECT_EQ(CountingForm::loads, 1);
    Forms::reset();
    EXPECT_FALSE(Forms::isClosing());
}

TEST_F(FormsTest, ModalShowGoesThroughTheRunnerWithItsOwner)
{
    FormWindow owner;
    QWidget* seenOwner = nullptr;
    bool visibleInRunner = false;
    Forms::setModalRunner([&](FormWindow& form, QWidget* ownerWidget) {
        seenOwner = ownerWidget;
        visibleInRunner = form.isVisible() && form.isModal();
        form.Hide();
    });
    counting().Show(true, &owner);
    EXPECT_EQ(seenOwner, &owner);
    EXPECT_TRUE(visibleInRunner);
    EXPECT_FALSE(counting().isModal());
}

// A click that reaches a window through the window system, as a user's does.
bool clickReaches(FormWindow& window)
{
    auto* button = new QPushButton("x", &window);
    button->setGeometry(10, 10, 60, 30);
    button->show();
    bool clicked = false;
    QObject::connect(button, &QPushButton::clicked, [&] { clicked = true; });
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, button->geometry().center());
    delete button;
    return clicked;
}

TEST_F(FormsTest, ModalWindowBlocksEveryOtherWindowNotOnlyItsOwner)
{
    for (const bool withOwner : {true, false}) {
        SCOPED_TRACE(withOwner ? "owned" : "no owner");
        FormWindow owner;
        FormWindow other;
        owner.show();
        other.show();
        bool ownerReached = true;
        bool otherReached = true;
        Forms::setModalRunner([&](FormWindow& form, QWidget*) {
            ownerReached = clickReaches(owner);
            otherReached = clickReaches(other);
            form.Hide();
        });
        counting().Show(true, withOwner ? &owner : nullptr);
        EXPECT_FALSE(ownerReached);
        EXPECT_FALSE(otherReached);
        EXPECT_TRUE(clickReaches(other));  // usable again once the modal window is gone
        if (withOwner) {
            EXPECT_EQ(counting().windowHandle()->transientParent(), owner.windowHandle());
        }
    }
}

TEST_F(FormsTest, DefaultModalRunWaitsUntilTheWindowIsHiddenOrUnloaded)
{
    CountingForm& form = counting();
    QTimer::singleShot(0, &form, &FormWindow::Hide);
    form.Show(true);
    EXPECT_FALSE(form.isVisible());

    QTimer::singleShot(0, [] { Forms::unload("Counting"); });
    counting().Show(true);
    EXPECT_FALSE(Forms::isLoaded("Counting"));
}

TEST_F(FormsTest, PlacementAndControlsAreInTwipsBelowTheMenuBar)
{
    CountingForm& form = counting();
    auto* menuBar = new QMenuBar;
    menuBar->addMenu("&File");
    form.setMenuBar(menuBar);
    auto* label = new QLabel("x", &form);
    platform::placeTwips(label, 60, 540, 1215, 255);
    form.setClientSize(9570, 6450);

    EXPECT_EQ(form.ScaleWidth(), 9570);
    EXPECT_EQ(form.ScaleHeight(), 6450);
    EXPECT_EQ(label->geometry(), QRect(4, menuBar->height() + 36, 81, 17));

    form.setLeft(1500);
    form.setTop(3000);
    form.setWidth(6000);
    form.setHeight(4500);
    EXPECT_EQ(form.Left(), 1500);
    EXPECT_EQ(form.Top(), 3000);
    EXPECT_EQ(form.Width(), 6000);
    EXPECT_EQ(form.Height(), 4500);
}

}  // namespace

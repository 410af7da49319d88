// Every control a user types into or picks from, in every window the program
// registers, carries a name for assistive tools: its own accessible name, its
// caption (a check box or option button), or a label whose buddy it is.

#include "app/FormRegistry.h"
#include "platform/Forms.h"
#include "search/ListSearch.h"
#include "support/TestEnvironment.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <gtest/gtest.h>

using platform::Forms;

namespace {

// A part of a larger control (a spin box's text, an editor in a list) is named
// by the control it belongs to; a combo box's list drops down in a window of
// its own, which the window check leaves out. A control the window keeps
// hidden is a helper the user never meets.
bool insideCompoundControl(const QWidget& control)
{
    for (QWidget* parent = control.parentWidget(); parent && !parent->isWindow(); parent = parent->parentWidget()) {
        if (qobject_cast<QComboBox*>(parent) || qobject_cast<QAbstractSpinBox*>(parent) ||
            qobject_cast<QAbstractItemView*>(parent))
            return true;
    }
    return false;
}

bool takesInput(const QWidget& control)
{
    return qobject_cast<const QLineEdit*>(&control) || qobject_cast<const QComboBox*>(&control) ||
           qobject_cast<const QAbstractSpinBox*>(&control) || qobject_cast<const QAbstractItemView*>(&control) ||
           qobject_cast<const QCheckBox*>(&control) || qobject_cast<const QRadioButton*>(&control) ||
           (qobject_cast<const QAbstractSlider*>(&control) && !qobject_cast<const QScrollBar*>(&control));
}

bool hasName(const QWidget& control, const QWidget& window)
{
    if (!control.accessibleName().trimmed().isEmpty())
        return true;
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control);
        button && !QString(button->text()).remove('&').trimmed().isEmpty())
        return true;
    const QList<QLabel*> labels = window.findChildren<QLabel*>();
    return std::any_of(labels.begin(), labels.end(), [&](const QLabel* label) {
        return label->buddy() == &control && !QString(label->text()).remove('&').trimmed().isEmpty();
    });
}

QStringList unnamedControls(const QWidget& window)
{
    QStringList unnamed;
    for (const QWidget* control : window.findChildren<QWidget*>()) {
        if (control->window() == &window && !control->isHidden() && takesInput(*control) && !insideCompoundControl(*control) &&
            !hasName(*control, window))
            unnamed << QStringLiteral("%1 (%2)").arg(control->objectName(), control->metaObject()->className());
    }
    return unnamed;
}

class AccessibleNamesTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        ListSearch = ListSearchModule{};
        env.mapDrive('e', QStringLiteral("pictures"));
        registerForms(QString());
    }
    void TearDown() override
    {
        Forms::reset();
        ListSearch = ListSearchModule{};
    }
    TestEnvironment env;
};

TEST_P(AccessibleNamesTest, EveryInputControlIsNamed)
{
    // The search window's load is the whole start of the program; its
    // controls are all made before it.
    const bool wholeStart = QString(GetParam()) == QLatin1String("SearchForm");
    const QWidget& window = wholeStart ? Forms::instance(GetParam()) : Forms::get(GetParam());
    EXPECT_EQ(unnamedControls(window).join(QStringLiteral(", ")).toStdString(), "");
}

INSTANTIATE_TEST_SUITE_P(Windows, AccessibleNamesTest,
                         ::testing::Values("SearchForm", "ListOptions", "LocalLoc", "SelectDrive", "frmSplash",
                                           "ImgPre", "frmBrowser", "Browser", "Disp", "DistribSettings",
                                           "Progress"),
                         [](const auto& test) { return std::string(test.param); });

}  // namespace

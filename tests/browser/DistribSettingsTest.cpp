// The distribution settings dialog on a real browser window: its controls,
// the folder picker, and what Go does with an empty, a refused and a good
// output folder.

#include "BrowserSupport.h"

#include "browser/Disp.h"
#include "browser/DistribSettings.h"
#include "browser/Distribution.h"
#include "support/EvenCaptions.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using platform::Forms;

namespace {

class DistribSettingsTest : public BrowserTestBase {
protected:
    void SetUp() override
    {
        BrowserTestBase::SetUp();
        Forms::registerForm(QStringLiteral("DistribSettings"), [] { return new DistribSettings; });
        copyTestPicture("bmp/pil-pal8.bmp", "e/Art/Lion.bmp");
        QDir().mkpath(env.hostPath("e/out"));
        browser().Dir1->setPath("e:\\Art");
    }
    DistribSettings& dialog() { return Forms::get<DistribSettings>(QStringLiteral("DistribSettings")); }
};

TEST_F(DistribSettingsTest, ShowsItsControlsEachNamedForAssistiveTools)
{
    DistribSettings& form = dialog();
    EXPECT_EQ(form.windowTitle(), "Distribution Settings");
    EXPECT_EQ(form.OutFolderLabel->buddy(), form.OutFolder);
    EXPECT_EQ(form.FormatLabel->buddy(), form.Format);
    EXPECT_FALSE(form.OutBrowse->accessibleName().isEmpty());
    EXPECT_EQ(form.OutBrowse->text(), "...");
    EXPECT_EQ(form.Cancel->text(), "Cancel");
    EXPECT_EQ(form.MakeIt->text(), "Go");
    ASSERT_EQ(form.Format->count(), 3);
    EXPECT_EQ(form.Format->itemText(0), "PDF - Adobe Portable Document Format");
    EXPECT_EQ(form.Format->itemText(1), "AI - Adobe Illustrator 8");
    EXPECT_EQ(form.Format->itemText(2), "CDR - Corel Draw 8!");
    expectEvenCaptionsThatFit(form);
}

TEST_F(DistribSettingsTest, ThePickerGivesTheChosenFolderAndACancelEmptiesIt)
{
    struct Case {
        const char* name;
        std::optional<platform::OpenFileResult> answer;
        QString folder;
    } cases[] = {
        {"a folder chosen", platform::OpenFileResult{"E:\\out\\Browse to desired output folder.", "x"}, "E:\\out\\"},
        {"a cancel", std::nullopt, ""},
    };
    for (const Case& c : cases) {
        dialog().OutFolder->setText("E:\\before\\");
        env.dialogs().chooseNextFile(c.answer);
        dialog().OutBrowse_Click();
        EXPECT_EQ(dialog().OutFolder->text(), c.folder) << c.name;
        EXPECT_EQ(env.dialogs().openRequests().back().fileName, "Browse to desired output folder.") << c.name;
    }
}

TEST_F(DistribSettingsTest, GoBuildsOnlyIntoAGoodOutputFolder)
{
    struct Case {
        const char* name;
        QString out;
        QString message;
        bool started;  // the dialog hidden and the build begun
        bool built;
    } cases[] = {
        {"no folder", "", "Please select an output folder.", false, false},
        {"inside the source", "e:\\Art\\Out", OutputInsideSourceMessage, false, false},
        {"a folder whose parent is missing", "e:\\none\\out", "Create Cat Error: 76 Path not found", true, false},
        {"outside the source", "e:\\out", "", true, true},
    };
    for (const Case& c : cases) {
        env.dialogs().clear();
        dialog().Show();
        dialog().OutFolder->setText(c.out);
        dialog().MakeIt_Click();
        EXPECT_EQ(env.dialogs().prompts(), c.message.isEmpty() ? QStringList() : QStringList{c.message}) << c.name;
        EXPECT_EQ(dialog().isVisible(), !c.started) << c.name;
        EXPECT_TRUE(Forms::isLoaded("DistribSettings")) << c.name;
        EXPECT_EQ(QFile::exists(env.hostPath("e/out/Cat/Art.htm")), c.built) << c.name;
        EXPECT_EQ(QFile::exists(env.hostPath("e/out/Lion.cdr")), c.built) << c.name;
        EXPECT_FALSE(Forms::isLoaded(DispFormName)) << c.name;
        EXPECT_FALSE(QFile::exists(env.hostPath("e/Art/Out"))) << c.name;
    }
    EXPECT_FALSE(ListSearch.CatMode || ListSearch.DistribMode || ListSearch.StopFlag);
}

TEST_F(DistribSettingsTest, TheBrowsersMenuEntryShowsItModallyWithoutOwner)
{
    QStringList shown;
    Forms::setModalRunner([&](platform::FormWindow& form, QWidget* owner) {
        shown += form.windowTitle() + (owner ? " owned" : "");
        form.Hide();
    });
    browser().CreateDistrib_Click();
    EXPECT_EQ(shown, QStringList({"Distribution Settings"}));
}

}  // namespace

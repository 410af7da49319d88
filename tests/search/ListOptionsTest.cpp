// The options dialog: its controls, the list-file picker, OK's checks and
// stores in their order, the data-folder rule and Cancel.

#include "platform/Forms.h"
#include "platform/Services.h"
#include "runtime/DateTime.h"
#include "search/ListOptions.h"
#include "search/ListSearch.h"
#include "search/OptionsRules.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using platform::Forms;
using platform::OpenFileResult;

namespace {

// Names each case of a parameterised test after its `name` field.
constexpr auto caseName = [](const auto& testInfo) { return std::string(testInfo.param.name); };

const QString DateMessage =
    QStringLiteral("The Join Date / Time format can not be understood, check the format.");

class ListOptionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ListSearch = ListSearchModule{};
        ListSearch.LocalFolder = "C:\\Data\\";
        ListSearch.TextFile = "list.txt";
        ListSearch.ArchiveFile = "list.zip";
        ListSearch.WebServer = "updates.example";
        ListSearch.NickName = "Kim";
        ListSearch.JoinDate = runtime::makeDate(2008, 12, 11, 12, 0, 0);
        Forms::registerForm(QStringLiteral("ListOptions"), [] { return new ListOptions; });
    }

    void TearDown() override
    {
        Forms::reset();
        ListSearch = ListSearchModule{};
    }

    // The dialog shown modally; `script` plays the user while it is open.
    void runModal(const std::function<void(ListOptions&)>& script)
    {
        Forms::setModalRunner([&](platform::FormWindow& form, QWidget*) {
            modalWasShown = form.isVisible() && form.isModal();
            script(dynamic_cast<ListOptions&>(form));
        });
        Forms::get(QStringLiteral("ListOptions")).Show(true);
    }

    static ListOptions& open()
    {
        auto& dialog = Forms::get<ListOptions>(QStringLiteral("ListOptions"));
        dialog.Show();
        return dialog;
    }

    // The six settings the dialog edits, for comparing before and after.
    static QStringList settings()
    {
        return {ListSearch.LocalFolder, ListSearch.TextFile, ListSearch.ArchiveFile, ListSearch.WebServer,
                ListSearch.NickName, QString::number(ListSearch.JoinDate, 'f', 6)};
    }

    TestEnvironment env;
    bool modalWasShown = false;
};

TEST_F(ListOptionsTest, ControlsStandAtTheirDesignPlaces)
{
    ListOptions& dialog = open();
    EXPECT_EQ(dialog.windowTitle(), "Brisca Viewer - Options");
    EXPECT_EQ(dialog.size(), QSize(319, 302));  // 4785 by 4530 twips

    struct Expected {
        QLabel* label;
        QString caption;
        QLineEdit* field;
        QRect labelPixels;
        QRect fieldPixels;
    };
    const Expected rows[] = {
        {dialog.Label2, "Local Data Folder:", dialog.LocalDataFolder, {36, 8, 133, 17}, {36, 24, 241, 21}},
        {dialog.Label1[2], "List File:", dialog.LocalFile, {36, 48, 129, 17}, {36, 64, 241, 23}},
        {dialog.Label1[1], "Update Archive Name:", dialog.RemoteFile, {36, 92, 129, 17}, {36, 108, 241, 21}},
        {dialog.Label1[0], "Update Server:", dialog.Server, {36, 136, 129, 17}, {36, 152, 241, 21}},
        {dialog.Label1[3], "Nickname:", dialog.Nic, {36, 180, 129, 17}, {36, 196, 241, 21}},
        {dialog.Label1[4], "First Run Date:", dialog.JoinD, {36, 224, 129, 17}, {36, 240, 241, 21}},
    };
    for (const Expected& row : rows) {
        EXPECT_EQ(row.label->text(), row.caption);
        EXPECT_EQ(row.label->geometry(), row.labelPixels) << row.caption.toStdString();
        EXPECT_EQ(row.field->geometry(), row.fieldPixels) << row.caption.toStdString();
        EXPECT_EQ(row.label->buddy(), row.field) << row.caption.toStdString();
    }
    EXPECT_EQ(dialog.GetListName->text(), "...");
    EXPECT_TRUE(dialog.GetListName->font().bold());
    EXPECT_EQ(dialog.GetListName->geometry(), QRect(280, 68, 21, 17));
    EXPECT_EQ(dialog.OKButton->text(), "OK");
    EXPECT_EQ(dialog.OKButton->geometry(), QRect(72, 272, 81, 25));
    EXPECT_TRUE(dialog.OKButton->isDefault());
    EXPECT_EQ(dialog.CancelButton->text(), "Cancel");
    EXPECT_EQ(dialog.CancelButton->geometry(), QRect(164, 272, 81, 25));
}

TEST_F(ListOptionsTest, OkHasTheFocusAndTabRunsInDesignOrder)
{
    ListOptions& dialog = open();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    EXPECT_EQ(QApplication::focusWidget(), dialog.OKButton);

    const QWidget* expected[] = {dialog.CancelButton, dialog.LocalFile, dialog.RemoteFile, dialog.Server,
                                 dialog.GetListName, dialog.LocalDataFolder, dialog.Nic, dialog.JoinD,
                                 dialog.OKButton};
    for (const QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next);
    }
}

TEST_F(ListOptionsTest, FieldsShowTheCurrentSettings)
{
    ListOptions& dialog = open();
    EXPECT_EQ(dialog.LocalDataFolder->text(), "C:\\Data\\");
    EXPECT_EQ(dialog.LocalFile->text(), "list.txt");
    EXPECT_EQ(dialog.RemoteFile->text(), "list.zip");
    EXPECT_EQ(dialog.Server->text(), "updates.example");
    EXPECT_EQ(dialog.Nic->text(), "Kim");
    EXPECT_EQ(dialog.JoinD->text(), "12/11/2008 12:00:00 PM");
}

TEST_F(ListOptionsTest, MidnightShowsTheDateAlone)
{
    ListSearch.JoinDate = runtime::makeDate(2026, 1, 5);
    EXPECT_EQ(open().JoinD->text(), "1/5/2026");
}

TEST_F(ListOptionsTest, OkStoresEveryFieldAsTypedAndCloses)
{
    runModal([](ListOptions& dialog) {
        dialog.LocalDataFolder->setText("D:\\Lists");
        dialog.LocalFile->setText(" cd.txt ");
        dialog.RemoteFile->setText("cd.zip");
        dialog.Server->setText("127.0.0.1");
        dialog.Nic->setText("");
        dialog.JoinD->setText("3/4/2025 1:02:03 PM");
        dialog.OKButton->click();
    });
    EXPECT_TRUE(modalWasShown);
    EXPECT_EQ(settings().mid(0, 5), QStringList({"D:\\Lists\\", " cd.txt ", "cd.zip", "127.0.0.1", ""}));
    EXPECT_DOUBLE_EQ(ListSearch.JoinDate, runtime::makeDate(2025, 3, 4, 13, 2, 3));
    EXPECT_FALSE(Forms::isLoaded("ListOptions"));
    EXPECT_TRUE(env.dialogs().messages().empty());
}

struct DateCase {
    const char* name;
    QString text;
};

class ListOptionsBadDate : public ListOptionsTest, public ::testing::WithParamInterface<DateCase> {};

TEST_P(ListOptionsBadDate, RefusesAndStoresNothing)
{
    const QStringList before = settings();
    ListOptions& dialog = open();
    dialog.Nic->setText("Changed");
    dialog.LocalDataFolder->setText("");
    dialog.JoinD->setText(GetParam().text);
    dialog.OKButton->click();

    EXPECT_EQ(env.dialogs().prompts(), QStringList(DateMessage));
    EXPECT_EQ(env.dialogs().messages().front().buttons, platform::MsgButtons::Ok);
    EXPECT_EQ(settings(), before);
    EXPECT_TRUE(Forms::isLoaded("ListOptions"));
    EXPECT_EQ(dialog.Nic->text(), "Changed");
}

INSTANTIATE_TEST_SUITE_P(Dates, ListOptionsBadDate,
                         ::testing::Values(DateCase{"Empty", ""}, DateCase{"Words", "last tuesday"},
                                           DateCase{"NoSuchDay", "2/30/2025"}),
                         caseName);

TEST_F(ListOptionsTest, ADateWithoutTimeIsMidnight)
{
    ListOptions& dialog = open();
    dialog.JoinD->setText("7/4/2024");
    dialog.OKButton->click();
    EXPECT_DOUBLE_EQ(ListSearch.JoinDate, runtime::makeDate(2024, 7, 4));
}

struct FolderCase {
    const char* name;
    QString field;
    QString stored;  // "<program>" stands for the program's folder
};

class ListOptionsDataFolder : public ListOptionsTest, public ::testing::WithParamInterface<FolderCase> {};

TEST_P(ListOptionsDataFolder, EndsWithABackslashAndIsNeverEmpty)
{
    QString expected = GetParam().stored;
    expected.replace("<program>", platform::programFolder());
    EXPECT_EQ(dataFolderFromField(GetParam().field), expected);

    ListOptions& dialog = open();
    dialog.LocalDataFolder->setText(GetParam().field);
    dialog.OKButton->click();
    EXPECT_EQ(ListSearch.LocalFolder, expected);
}

INSTANTIATE_TEST_SUITE_P(Folders, ListOptionsDataFolder,
                         ::testing::Values(FolderCase{"Empty", "", "<program>\\"},
                                           FolderCase{"WithoutBackslash", "C:\\Data", "C:\\Data\\"},
                                           FolderCase{"WithBackslash", "C:\\Data\\", "C:\\Data\\"},
                                           FolderCase{"DriveRoot", "E:\\", "E:\\"},
                                           FolderCase{"BlanksKept", " C:\\My Data ", " C:\\My Data \\"}),
                         caseName);

TEST_F(ListOptionsTest, PickerSetsListFileAndDataFolder)
{
    ListOptions& dialog = open();
    env.dialogs().chooseNextFile(OpenFileResult{"D:\\Lists\\cd.txt", "cd.txt"});
    dialog.GetListName->click();
    EXPECT_EQ(dialog.LocalFile->text(), "cd.txt");
    EXPECT_EQ(dialog.LocalDataFolder->text(), "D:\\Lists\\");

    ASSERT_EQ(env.dialogs().openRequests().size(), 1u);
    const platform::OpenFileRequest& request = env.dialogs().openRequests().front();
    EXPECT_EQ(request.fileName, "list.txt");
    EXPECT_EQ(request.initDir, "C:\\Data\\");
    EXPECT_EQ(request.defaultExt, ".txt");
    EXPECT_TRUE(request.filter.isEmpty());
}

TEST_F(ListOptionsTest, CancelledOrFailedPickerLeavesTheFields)
{
    ListOptions& dialog = open();
    env.dialogs().chooseNextFile(std::nullopt);
    env.dialogs().chooseNextFile(OpenFileResult{"x", "D:\\x"});
    dialog.GetListName->click();
    dialog.GetListName->click();
    EXPECT_EQ(dialog.LocalFile->text(), "list.txt");
    EXPECT_EQ(dialog.LocalDataFolder->text(), "C:\\Data\\");
    EXPECT_TRUE(env.dialogs().messages().empty());
}

struct KeyCase {
    const char* name;
    std::function<void(ListOptions&)> close;
    bool stored;
};

class ListOptionsClose : public ListOptionsTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(ListOptionsClose, StoresOnlyOnOk)
{
    const QStringList before = settings();
    runModal([](ListOptions& dialog) {
        dialog.LocalDataFolder->setText("E:\\Other");
        dialog.LocalFile->setText("other.txt");
        dialog.RemoteFile->setText("other.zip");
        dialog.Server->setText("other.example");
        dialog.Nic->setText("Other");
        dialog.JoinD->setText("1/1/2000");
        GetParam().close(dialog);
    });
    EXPECT_FALSE(Forms::isLoaded("ListOptions"));
    if (GetParam().stored) {
        EXPECT_EQ(settings().first(), "E:\\Other\\");
    } else {
        EXPECT_EQ(settings(), before);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Closes, ListOptionsClose,
    ::testing::Values(KeyCase{"Cancel", [](ListOptions& d) { d.CancelButton->click(); }, false},
                      KeyCase{"Escape", [](ListOptions& d) { QTest::keyClick(d.Nic, Qt::Key_Escape); }, false},
                      KeyCase{"CloseBox", [](ListOptions& d) { d.close(); }, false},
                      KeyCase{"EnterInAField", [](ListOptions& d) { QTest::keyClick(d.Nic, Qt::Key_Return); }, true}),
    caseName);

}  // namespace

// The options dialog: its controls, the list-file picker, OK's checks and
// stores in their order, the data-folder rule and Cancel.

#include "platform/Forms.h"
#include "platform/Services.h"
#include "runtime/DateTime.h"
#include "search/ListOptions.h"
#include "search/ListSearch.h"
#include "search/OptionsRules.h"
#include "search/SearchForm.h"
#include "support/TabChain.h"
#include "support/TestEnvironment.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using platform::Forms;
using platform::OpenFileResult;

namespace {

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
        Forms::registerForm("ListOptions", [] { return new ListOptions; });
    }

    void TearDown() override
    {
        Forms::reset();
        ListSearch = ListSearchModule{};
    }

    static ListOptions& open()
    {
        auto& dialog = Forms::get<ListOptions>("ListOptions");
        dialog.Show();
        return dialog;
    }

    // The six settings the dialog edits.
    static QStringList settings()
    {
        return {ListSearch.LocalFolder, ListSearch.TextFile, ListSearch.ArchiveFile, ListSearch.WebServer,
                ListSearch.NickName, runtime::generalDateText(ListSearch.JoinDate)};
    }

    static void typeInEveryField(ListOptions& dialog, const QStringList& texts)
    {
        QLineEdit* const fields[] = {dialog.LocalDataFolder, dialog.LocalFile, dialog.RemoteFile,
                                     dialog.Server, dialog.Nic, dialog.JoinD};
        for (int i = 0; i < 6; ++i)
            fields[i]->setText(texts[i]);
    }

    TestEnvironment env;
};

TEST_F(ListOptionsTest, ControlsStandAtTheirDesignPlacesInTabOrder)
{
    ListOptions& dialog = open();
    EXPECT_EQ(dialog.windowTitle(), "Brisca Viewer - Options");
    EXPECT_EQ(dialog.size(), QSize(319, 302));  // 4785 by 4530 twips
    EXPECT_TRUE(dialog.OKButton->isDefault());
    EXPECT_TRUE(dialog.GetListName->font().bold());

    // Captions with the place of each in pixels (the twips divided by 15).
    const std::tuple<QLabel*, QString, QRect> labels[] = {
        {dialog.Label2, "Local Data Folder:", {36, 8, 133, 17}},
        {dialog.Label1[2], "List File:", {36, 48, 129, 17}},
        {dialog.Label1[1], "Update Archive Name:", {36, 92, 129, 17}},
        {dialog.Label1[0], "Update Server:", {36, 136, 129, 17}},
        {dialog.Label1[3], "Nickname:", {36, 180, 129, 17}},
        {dialog.Label1[4], "First Run Date:", {36, 224, 129, 17}},
    };
    for (const auto& [label, caption, place] : labels) {
        EXPECT_EQ(label->text(), caption);
        EXPECT_EQ(label->geometry(), place) << caption.toStdString();
        EXPECT_NE(label->buddy(), nullptr) << caption.toStdString();
        EXPECT_LE(label->sizeHint().width(), label->width()) << caption.toStdString();  // not cut off
    }
    // The rest in tab order.
    const std::pair<QWidget*, QRect> controls[] = {
        {dialog.OKButton, {72, 272, 81, 25}},       {dialog.CancelButton, {164, 272, 81, 25}},
        {dialog.LocalFile, {36, 64, 241, 23}},      {dialog.RemoteFile, {36, 108, 241, 21}},
        {dialog.Server, {36, 152, 241, 21}},        {dialog.GetListName, {280, 68, 21, 17}},
        {dialog.LocalDataFolder, {36, 24, 241, 21}}, {dialog.Nic, {36, 196, 241, 21}},
        {dialog.JoinD, {36, 240, 241, 21}},
    };
    expectTabChain(dialog, controls);
    EXPECT_EQ(dialog.Label1[4]->buddy(), dialog.JoinD);
}

TEST_F(ListOptionsTest, OkStoresTheFieldsAsTypedAndCloses)
{
    ListOptions& dialog = open();
    EXPECT_EQ(QStringList({dialog.LocalDataFolder->text(), dialog.LocalFile->text(), dialog.RemoteFile->text(),
                           dialog.Server->text(), dialog.Nic->text(), dialog.JoinD->text()}),
              settings());
    EXPECT_EQ(dialog.JoinD->text(), "12/11/2008 12:00:00 PM");

    typeInEveryField(dialog, {"D:\\Lists", " cd.txt ", "cd.zip", "127.0.0.1", "", "3/4/2025 1:02:03 PM"});
    dialog.OKButton->click();
    EXPECT_EQ(settings(), QStringList({"D:\\Lists\\", " cd.txt ", "cd.zip", "127.0.0.1", "", "3/4/2025 1:02:03 PM"}));
    EXPECT_FALSE(Forms::isLoaded("ListOptions"));
    EXPECT_TRUE(env.dialogs().messages().empty());
}

TEST_F(ListOptionsTest, AnUnreadableDateStoresNothingAndKeepsTheDialogOpen)
{
    const QStringList before = settings();
    ListOptions& dialog = open();
    for (const QString& date : QStringList{"", "last tuesday", "2/30/2025"}) {
        typeInEveryField(dialog, {"", "x.txt", "x.zip", "x", "Changed", date});
        dialog.OKButton->click();
        EXPECT_EQ(settings(), before) << date.toStdString();
        EXPECT_TRUE(Forms::isLoaded("ListOptions"));
        EXPECT_EQ(dialog.Nic->text(), "Changed");
    }
    EXPECT_EQ(env.dialogs().prompts(),
              QStringList(3, "The Join Date / Time format can not be understood, check the format."));
    EXPECT_EQ(env.dialogs().messages().front().buttons, platform::MsgButtons::Ok);
}

TEST_F(ListOptionsTest, ADateWithoutTimeIsMidnight)
{
    ListOptions& dialog = open();
    dialog.JoinD->setText("7/4/2024");
    dialog.OKButton->click();
    EXPECT_DOUBLE_EQ(ListSearch.JoinDate, runtime::makeDate(2024, 7, 4));
}

TEST_F(ListOptionsTest, DataFolderEndsWithABackslashAndIsNeverEmpty)
{
    const std::pair<QString, QString> folders[] = {
        {"", platform::programFolder() + "\\"}, {"C:\\Data", "C:\\Data\\"},  {"C:\\Data\\", "C:\\Data\\"},
        {"E:\\", "E:\\"},                       {" C:\\My Data ", " C:\\My Data \\"},
    };
    for (const auto& [field, stored] : folders)
        EXPECT_EQ(dataFolderFromField(field), stored);

    ListOptions& dialog = open();
    dialog.LocalDataFolder->setText("");
    dialog.OKButton->click();
    EXPECT_EQ(ListSearch.LocalFolder, platform::programFolder() + "\\");
}

TEST_F(ListOptionsTest, PickerSetsListFileAndDataFolder)
{
    ListOptions& dialog = open();
    env.dialogs().chooseNextFile(std::nullopt);
    env.dialogs().chooseNextFile(OpenFileResult{"x", "D:\\x"});  // a name that cannot be split
    env.dialogs().chooseNextFile(OpenFileResult{"D:\\Lists\\cd.txt", "cd.txt"});
    dialog.GetListName->click();
    dialog.GetListName->click();
    EXPECT_EQ(dialog.LocalFile->text(), "list.txt");
    EXPECT_EQ(dialog.LocalDataFolder->text(), "C:\\Data\\");
    dialog.GetListName->click();
    EXPECT_EQ(dialog.LocalFile->text(), "cd.txt");
    EXPECT_EQ(dialog.LocalDataFolder->text(), "D:\\Lists\\");

    const platform::OpenFileRequest& request = env.dialogs().openRequests().front();
    EXPECT_EQ(request.fileName, "list.txt");
    EXPECT_EQ(request.initDir, "C:\\Data\\");
    EXPECT_EQ(request.defaultExt, ".txt");
    EXPECT_TRUE(request.filter.isEmpty());
    EXPECT_TRUE(env.dialogs().messages().empty());
}

TEST_F(ListOptionsTest, OnlyOkOrEnterStores)
{
    const std::pair<std::function<void(ListOptions&)>, bool> closes[] = {
        {[](ListOptions& d) { d.CancelButton->click(); }, false},
        {[](ListOptions& d) { QTest::keyClick(d.Nic, Qt::Key_Escape); }, false},
        {[](ListOptions& d) { d.close(); }, false},
        {[](ListOptions& d) { QTest::keyClick(d.Nic, Qt::Key_Return); }, true},
    };
    const QStringList before = settings();
    const QStringList edits{"E:\\Other\\", "other.txt", "other.zip", "other.example", "Other", "1/1/2000"};
    for (const auto& [close, stores] : closes) {
        Forms::setModalRunner([&](platform::FormWindow& form, QWidget*) {
            EXPECT_TRUE(form.isVisible() && form.isModal());
            auto& dialog = dynamic_cast<ListOptions&>(form);
            typeInEveryField(dialog, edits);
            close(dialog);
        });
        Forms::get("ListOptions").Show(true);
        EXPECT_FALSE(Forms::isLoaded("ListOptions"));
        EXPECT_EQ(settings(), stores ? edits : before);
    }
}

TEST_F(ListOptionsTest, SearchWindowMenuOpensItModallyAboveItself)
{
    Forms::registerForm("SearchForm", [] { return new SearchForm; });
    auto& search = Forms::get<SearchForm>("SearchForm");
    search.setGeometry(200, 150, 640, 430);
    QString shown;
    const QWidget* owner = nullptr;
    QPoint centre;
    Forms::setModalRunner([&](platform::FormWindow& form, QWidget* formOwner) {
        shown = form.isModal() ? form.objectName() : QString();
        owner = formOwner;
        centre = form.frameGeometry().center();
        form.Unload();
    });
    search.OptionsMenu->trigger();
    EXPECT_EQ(shown, "ListOptions");
    EXPECT_EQ(owner, &search);
    EXPECT_LE((centre - search.frameGeometry().center()).manhattanLength(), 2);
}

TEST_F(ListOptionsTest, OptionsStayDisabledInCommandLineMode)
{
    env.writeFile("list.txt", "");
    Forms::registerForm("SearchForm", [this] { return new SearchForm(env.hostPath("list.txt")); });
    auto& search = Forms::get<SearchForm>("SearchForm");
    EXPECT_FALSE(search.OptionsMenu->isEnabled());
    search.OptionsMenu->trigger();
    EXPECT_FALSE(Forms::isLoaded("ListOptions"));
}

}  // namespace

// The small windows of the search window: the CD-drive dialog, the about box,
// the tutorial window, the preview window and ShowImagePreview.

#include "platform/FileSystem.h"
#include "platform/Forms.h"
#include "platform/PictureLoader.h"
#include "platform/Pump.h"
#include "platform/Services.h"
#include "platform/DriveEntries.h"
#include "search/ImgPre.h"
#include "search/ListSearch.h"
#include "search/SelectDrive.h"
#include "search/ShowImagePreview.h"
#include "search/WebView.h"
#include "search/frmBrowser.h"
#include "search/frmSplash.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <gtest/gtest.h>

using platform::Forms;

namespace {

QByteArray testData(const QString& relative)
{
    QFile file(QStringLiteral(BRISCA_TEST_DATA_DIR "/") + relative);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("missing test data " + relative.toStdString());
    return file.readAll();
}

class SmallWindowsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ListSearch = ListSearchModule{};
        Forms::registerForm(QStringLiteral("SelectDrive"), [] { return new SelectDrive; });
        Forms::registerForm(QStringLiteral("frmSplash"), [] { return new frmSplash; });
        Forms::registerForm(QStringLiteral("frmBrowser"), [] { return new frmBrowser; });
        Forms::registerForm(ImgPreFormName, [] { return new ImgPre; });
    }

    void TearDown() override
    {
        Forms::reset();
        ListSearch = ListSearchModule{};
    }

    // Shows the named window modally; `user` acts while it is open.
    template <typename Window>
    void runModal(const QString& name, const std::function<void(Window&)>& user)
    {
        Forms::setModalRunner([&](platform::FormWindow& form, QWidget*) {
            ASSERT_TRUE(form.isModal());
            ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
            user(dynamic_cast<Window&>(form));
        });
        Forms::get(name).Show(true);
    }

    TestEnvironment env;
};

// ---- CD-drive dialog ----

struct DriveEntryCase {
    const char* entry;
    const char* drive;
};

class DriveOfEntryTest : public ::testing::TestWithParam<DriveEntryCase> {};

TEST_P(DriveOfEntryTest, KeepsTheTextUpToTheFirstColon)
{
    EXPECT_EQ(platform::driveOfEntry(QString::fromLatin1(GetParam().entry)), QString::fromLatin1(GetParam().drive));
}

INSTANTIATE_TEST_SUITE_P(Entries, DriveOfEntryTest,
                         ::testing::Values(DriveEntryCase{"d: [CLIPART_01]", "d:"}, DriveEntryCase{"c:", "c:"},
                                           DriveEntryCase{"e: [A:B]", "e:"}, DriveEntryCase{"x", "x"},
                                           DriveEntryCase{"", ""}));

TEST_F(SmallWindowsTest, DriveListShowsEachDriveWithItsLabel)
{
    env.mapDrive(u'd', QStringLiteral("Clipart_01"), platform::DriveTable::Kind::CdRom);
    env.mapDrive(u'e', QStringLiteral("gone"));
    QDir(env.hostPath(QStringLiteral("gone"))).removeRecursively();  // a drive that is not ready

    EXPECT_EQ(platform::driveListEntries(env.fs().drives()), QStringList({"c:", "d: [CLIPART_01]", "e:"}));
}

struct StoredDriveCase {
    const char* name;
    const char* stored;
    bool pressOk;
    const char* shown;  // the list's current entry when the dialog opens
    const char* after;  // OffLineDrive when it has closed
};

void PrintTo(const StoredDriveCase& c, std::ostream* os) { *os << c.name; }

class SelectDriveTest : public SmallWindowsTest, public ::testing::WithParamInterface<StoredDriveCase> {};

TEST_P(SelectDriveTest, StoresTheLetterAndColonOnlyOnOk)
{
    const StoredDriveCase& c = GetParam();
    env.mapDrive(u'd', QStringLiteral("Clipart_01"), platform::DriveTable::Kind::CdRom);
    env.mapDrive(u'e', QStringLiteral("empty"), platform::DriveTable::Kind::CdRom);
    QDir(env.hostPath(QStringLiteral("empty"))).removeRecursively();
    ListSearch.OffLineDrive = QString::fromLatin1(c.stored);

    QString shown;
    runModal<SelectDrive>(QStringLiteral("SelectDrive"), [&](SelectDrive& dialog) {
        shown = dialog.Drive1->currentText();
        (c.pressOk ? dialog.OKButton : dialog.CancelButton)->click();
    });

    EXPECT_EQ(shown, QString::fromLatin1(c.shown));
    EXPECT_EQ(ListSearch.OffLineDrive, QString::fromLatin1(c.after));
    EXPECT_FALSE(Forms::isLoaded(QStringLiteral("SelectDrive")));
}

INSTANTIATE_TEST_SUITE_P(
    StoredDrives, SelectDriveTest,
    ::testing::Values(
        StoredDriveCase{"FirstStartOkTakesTheCurrentDrive", "", true, "c:", "c:"},
        StoredDriveCase{"FirstStartCancelLeavesItEmpty", "", false, "c:", ""},
        StoredDriveCase{"StoredDriveIsSelected", "d:", true, "d: [CLIPART_01]", "d:"},
        StoredDriveCase{"StoredInUpperCase", "D:", true, "d: [CLIPART_01]", "d:"},
        StoredDriveCase{"DriveWithoutDiscStaysSelected", "e:", true, "e:", "e:"},
        StoredDriveCase{"RemovedDriveFallsBackAndOkReplacesIt", "q:", true, "c:", "c:"},
        StoredDriveCase{"RemovedDriveKeptOnCancel", "q:", false, "c:", "q:"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(SmallWindowsTest, SelectDriveCancelsOnEscAndNamesItsList)
{
    ListSearch.OffLineDrive = QStringLiteral("d:");
    runModal<SelectDrive>(QStringLiteral("SelectDrive"), [](SelectDrive& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Brisca Viewer - CD Drive Selection");
        EXPECT_FALSE(dialog.Drive1->accessibleName().isEmpty());
        dialog.Drive1->setCurrentIndex(0);
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(ListSearch.OffLineDrive, "d:");
    EXPECT_FALSE(Forms::isLoaded(QStringLiteral("SelectDrive")));
}

// ---- About box ----

TEST_F(SmallWindowsTest, AboutBoxShowsVersionAndDescriptionAndClosesOnEnterAndEsc)
{
    for (const auto key : {Qt::Key_Return, Qt::Key_Escape}) {
        runModal<frmSplash>(QStringLiteral("frmSplash"), [key](frmSplash& about) {
            EXPECT_TRUE(about.windowTitle().isEmpty());
            EXPECT_EQ(about.lblVersion->text(), QStringLiteral("Version %1.%2.%3")
                                                    .arg(BRISCA_VERSION_MAJOR)
                                                    .arg(BRISCA_VERSION_MINOR)
                                                    .arg(BRISCA_VERSION_PATCH));
            EXPECT_EQ(about.AppDesc->text(), "Clipart Search / Browse Utility");
            EXPECT_EQ(about.lblPlatform->text(), "Windows 9x, NT, 2000, XP, Vista");
            QTest::keyClick(&about, key);
        });
        EXPECT_FALSE(Forms::isLoaded(QStringLiteral("frmSplash"))) << key;
    }
}

// ---- Tutorial window ----

class TutorialTest : public SmallWindowsTest {
protected:
    // The instance, created but not loaded until it is shown.
    frmBrowser& tutorial() { return dynamic_cast<frmBrowser&>(Forms::instance(QStringLiteral("frmBrowser"))); }

    // Types the address into the focused address box of the active window and
    // presses Enter (or keypad Enter), as the user does; waits for the page.
    void typeAddress(const QString& address, Qt::Key enter = Qt::Key_Return)
    {
        QSignalSpy loaded(tutorial().brwWebBrowser, &WebView::DownloadComplete);
        tutorial().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&tutorial()));
        tutorial().cboAddress->setFocus();
        tutorial().cboAddress->setEditText(address);
        QTest::keyClick(QApplication::focusWidget(), enter,
                        enter == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        ASSERT_TRUE(loaded.wait());
    }

    QString otherPage()
    {
        env.writeFile(QStringLiteral("pages/other.htm"),
                      "<html><head><title>Other page</title></head><body>other</body></html>");
        return env.windowsPath(QStringLiteral("pages/other.htm"));
    }

    QString pageTitle() { return tutorial().brwWebBrowser->documentTitle(); }

    // The tutorial menu: the starting address, then the show; waits for the page.
    void openTutorial()
    {
        QSignalSpy loaded(tutorial().brwWebBrowser, &WebView::DownloadComplete);
        tutorial().setStartingAddress(tutorialAddress());
        tutorial().Show();
        ASSERT_TRUE(loaded.wait());
    }
};

TEST_F(TutorialTest, OpensOnTheTutorialBesideTheProgram)
{
    frmBrowser& window = tutorial();
    window.setProperty("StartingAddress", tutorialAddress());
    QSignalSpy loaded(window.brwWebBrowser, &WebView::DownloadComplete);
    window.Show();

    EXPECT_EQ(window.cboAddress->currentText(), tutorialAddress());
    EXPECT_EQ(window.cboAddress->count(), 1);
    EXPECT_TRUE(window.timTimer->isActive());
    ASSERT_TRUE(loaded.wait());
    EXPECT_EQ(pageTitle(), "Brisca Viewer Tutorial");
    EXPECT_EQ(window.windowTitle(), "Brisca Viewer - Tutorial");

    // The timer goes off at its first tick once the page is in.
    QSignalSpy tick(window.timTimer, &QTimer::timeout);
    if (window.timTimer->isActive()) {
        ASSERT_TRUE(tick.wait());
    }
    EXPECT_FALSE(window.timTimer->isActive());
}

TEST_F(TutorialTest, WithoutStartingAddressShowsNoPage)
{
    tutorial().Show();
    platform::doEvents();

    EXPECT_TRUE(tutorial().isVisible());
    EXPECT_EQ(tutorial().cboAddress->count(), 0);
    EXPECT_FALSE(tutorial().timTimer->isActive());
    EXPECT_TRUE(tutorial().brwWebBrowser->source().isEmpty());
    EXPECT_FALSE(tutorial().cboAddress->accessibleName().isEmpty());
}

TEST_F(TutorialTest, TypedAddressIsNotAddedAndShowingAgainDoesNotGoBack)
{
    openTutorial();
    typeAddress(otherPage());
    EXPECT_EQ(pageTitle(), "Other page");
    EXPECT_EQ(tutorial().cboAddress->count(), 1);

    // The tutorial menu again, while the window is open.
    tutorial().setStartingAddress(tutorialAddress());
    tutorial().Show();
    EXPECT_FALSE(tutorial().brwWebBrowser->Busy());
    platform::doEvents();
    EXPECT_EQ(pageTitle(), "Other page");
}

struct TypedAddressCase {
    const char* name;
    bool asFileUrl;  // else as a drive path
    Qt::Key enter;
};

void PrintTo(const TypedAddressCase& c, std::ostream* os) { *os << c.name; }

class TypedAddressTest : public TutorialTest, public ::testing::WithParamInterface<TypedAddressCase> {};

// From a page scrolled down to one of its anchors, the typed address of another
// page opens it, and the typed address of the same page opens it at its top.
TEST_P(TypedAddressTest, EnterOpensTheTypedAddress)
{
    const TypedAddressCase& c = GetParam();
    const auto typed = [&](const QString& drivePath) {
        return c.asFileUrl ? QUrl::fromLocalFile(platform::fileSystem().hostPath(drivePath)).toString() : drivePath;
    };
    openTutorial();
    QScrollBar* scroll = tutorial().brwWebBrowser->verticalScrollBar();
    const auto goToAnchor = [&] {
        tutorial().brwWebBrowser->setSource(tutorial().brwWebBrowser->source().resolved(QUrl("#browser")));
        ASSERT_GT(scroll->value(), 0);
    };

    goToAnchor();
    typeAddress(typed(otherPage()), c.enter);
    EXPECT_EQ(pageTitle(), "Other page");

    typeAddress(typed(tutorialAddress()), c.enter);
    EXPECT_EQ(pageTitle(), "Brisca Viewer Tutorial");
    goToAnchor();
    typeAddress(typed(tutorialAddress()), c.enter);
    EXPECT_EQ(scroll->value(), 0);
    EXPECT_EQ(tutorial().cboAddress->count(), 1);
}

INSTANTIATE_TEST_SUITE_P(Addresses, TypedAddressTest,
                         ::testing::Values(TypedAddressCase{"DrivePathReturn", false, Qt::Key_Return},
                                           TypedAddressCase{"DrivePathKeypadEnter", false, Qt::Key_Enter},
                                           TypedAddressCase{"FileUrlReturn", true, Qt::Key_Return},
                                           TypedAddressCase{"FileUrlKeypadEnter", true, Qt::Key_Enter}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(TutorialTest, ChoosingTheStartingAddressAfterItsDriveWentAwayIsPassedOver)
{
    env.mapDrive(u'e', QStringLiteral("stick"));
    env.writeFile(QStringLiteral("stick/tut.htm"), "<html><head><title>On the stick</title></head></html>");
    QSignalSpy loaded(tutorial().brwWebBrowser, &WebView::DownloadComplete);
    tutorial().setStartingAddress(QStringLiteral("e:\\tut.htm"));
    tutorial().Show();
    ASSERT_TRUE(loaded.wait());
    QDir(env.hostPath(QStringLiteral("stick"))).removeRecursively();

    emit tutorial().cboAddress->activated(0);

    EXPECT_TRUE(tutorial().isVisible());
    EXPECT_EQ(pageTitle(), "On the stick");
}

TEST_F(TutorialTest, ToolbarKeysMatchExactly)
{
    openTutorial();
    typeAddress(otherPage());

    tutorial().tbToolBar_ButtonClick(QStringLiteral("back"));
    EXPECT_EQ(pageTitle(), "Other page");
    tutorial().tbToolBar_ButtonClick(QStringLiteral("Back"));
    EXPECT_EQ(pageTitle(), "Brisca Viewer Tutorial");
    tutorial().tbToolBar_ButtonClick(QStringLiteral("Forward"));
    EXPECT_EQ(pageTitle(), "Other page");
    tutorial().tbToolBar_ButtonClick(QStringLiteral("Home"));
    EXPECT_EQ(pageTitle(), "Brisca Viewer Tutorial");
}

TEST_F(TutorialTest, StopEndsTheTimerAndTheNavigationAtOnce)
{
    tutorial().setStartingAddress(tutorialAddress());
    tutorial().Show();
    ASSERT_TRUE(tutorial().brwWebBrowser->Busy());

    tutorial().tbToolBar_ButtonClick(QStringLiteral("Stop"));
    EXPECT_FALSE(tutorial().timTimer->isActive());
    EXPECT_FALSE(tutorial().brwWebBrowser->Busy());
    platform::doEvents();
    EXPECT_TRUE(tutorial().brwWebBrowser->source().isEmpty());
}

TEST_F(TutorialTest, LayoutFollowsTheWindowAndSurvivesATinyOne)
{
    frmBrowser& window = tutorial();
    window.Show();
    window.setClientSize(12000, 6000);
    EXPECT_EQ(window.cboAddress->width(), platform::twipsToPixels(12000 - 100));
    EXPECT_GE(window.picAddress->width(), window.cboAddress->geometry().right());
    EXPECT_EQ(window.brwWebBrowser->width(), platform::twipsToPixels(12000 - 100));
    EXPECT_EQ(window.brwWebBrowser->geometry().bottom() + 1, platform::twipsToPixels(6000 - 100));

    window.setClientSize(60, 60);
    EXPECT_EQ(window.cboAddress->width(), 0);
    EXPECT_EQ(window.brwWebBrowser->height(), 0);
}

// ---- Preview window ----

// A picture of 300 by 200 pixels whose own size is 4000 by 2000 hundredths of a millimetre.
platform::Picture widePicture()
{
    QImage image(300, 200, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    return {image, QSizeF(4000, 2000), false};
}

class PreviewTest : public SmallWindowsTest {
protected:
    ImgPre& preview() { return Forms::get<ImgPre>(ImgPreFormName); }

    QString samplePicture()
    {
        env.writeFile(QStringLiteral("clips/video.jpeg"), testData(QStringLiteral("jpeg/go-video-001.rgb.jpeg")));
        return env.windowsPath(QStringLiteral("clips/video.jpeg"));
    }
};

TEST_F(PreviewTest, FitsCentresAndKeepsItsSizeWhileTooSmall)
{
    ImgPre& window = preview();
    window.setPicture(widePicture());
    window.setClientSize(6000, 4500);
    window.Show();
    EXPECT_EQ(window.PicBox->size(), QSize(400, 300));
    // 5940 by 2940 twips, 30 twips in from the sides and 780 down.
    EXPECT_EQ(window.Pic->geometry(), QRect(2, 52, 396, 196));

    window.setClientSize(120, 120);  // as small as a minimised window
    EXPECT_EQ(window.Pic->size(), QSize(396, 196));
    EXPECT_EQ(window.Pic->pos(), QPoint(-194, -94));

    window.setClientSize(6000, 4500);
    EXPECT_EQ(window.Pic->geometry(), QRect(2, 52, 396, 196));
}

TEST_F(PreviewTest, EmptyPictureDoesNotFail)
{
    ImgPre& window = preview();
    window.setClientSize(3000, 3000);
    window.Show();
    window.setClientSize(4000, 2000);
    EXPECT_TRUE(window.isVisible());
}

TEST_F(PreviewTest, AnyButtonReleasedOverThePicturePopsUpEdit)
{
    ImgPre& window = preview();
    window.setPicture(widePicture());
    window.Show();
    EXPECT_EQ(window.PreEdit->defaultAction(), window.PreCopy);
    for (const auto button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        QTest::mouseRelease(window.Pic, button, {}, QPoint(5, 5));
        EXPECT_TRUE(window.PreEdit->isVisible()) << button;
        window.PreEdit->hide();
    }
}

TEST_F(PreviewTest, CopyPutsThePictureAtItsOwnSize)
{
    ImgPre& window = preview();
    window.setPicture(widePicture());
    window.setClientSize(2000, 2000);
    window.Show();
    ASSERT_NE(window.Pic->size(), QSize(300, 200));

    window.PreCopy->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(300, 200));
}

TEST_F(PreviewTest, ShowImagePreviewLoadsTitlesAndShowsAPicture)
{
    ShowImagePreview(samplePicture());

    ASSERT_TRUE(Forms::isLoaded(ImgPreFormName));
    EXPECT_TRUE(preview().isVisible());
    EXPECT_EQ(preview().windowTitle(), "Brisca Image Preview: video.jpeg");
    EXPECT_EQ(preview().picture().image.size(), QSize(150, 103));
    EXPECT_TRUE(env.dialogs().prompts().isEmpty());
}

TEST_F(PreviewTest, NextPreviewInTheOpenWindowIsFittedAnew)
{
    ImgPre& window = preview();
    window.setPicture(widePicture());
    window.setClientSize(6000, 4500);
    window.Show();
    ASSERT_EQ(window.Pic->size(), QSize(396, 196));
    // The user works in another window while the preview stays open.
    QWidget other;
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));

    ShowImagePreview(samplePicture());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    // The new picture is less wide than the box: it fits the box's width.
    const QSizeF own = window.picture().sizeHimetric;
    EXPECT_EQ(window.Pic->width(), platform::twipsToPixels(5940));
    EXPECT_EQ(window.Pic->height(), platform::twipsToPixels(6000 * std::round(own.height()) / std::round(own.width()) - 60));
}

struct FailedPreviewCase {
    const char* name;
    const char* file;
    QByteArray content;  // null: there is no such file
    const char* message;
};

void PrintTo(const FailedPreviewCase& c, std::ostream* os) { *os << c.name; }

class FailedPreviewTest : public PreviewTest, public ::testing::WithParamInterface<FailedPreviewCase> {};

TEST_P(FailedPreviewTest, EndsInOneMessageAndKeepsThePreviousPicture)
{
    const FailedPreviewCase& c = GetParam();
    ShowImagePreview(samplePicture());
    preview().Hide();
    if (!c.content.isNull())
        env.writeFile(QStringLiteral("clips/") + c.file, c.content);

    ShowImagePreview(env.windowsPath(QStringLiteral("clips/") + c.file));

    EXPECT_EQ(env.dialogs().prompts(), QStringList{QString::fromLatin1(c.message)});
    EXPECT_FALSE(preview().isVisible());
    EXPECT_EQ(preview().windowTitle(), "Brisca Image Preview: video.jpeg");
    EXPECT_EQ(preview().picture().image.size(), QSize(150, 103));
}

INSTANTIATE_TEST_SUITE_P(
    Files, FailedPreviewTest,
    ::testing::Values(FailedPreviewCase{"MissingFile", "absent.gif", QByteArray(), "Error:File not found"},
                      FailedPreviewCase{"SoundFile", "tune.mp3", QByteArray("ID3\x03\0\0\0\0\0\0not a picture", 22),
                                        "Error:Invalid picture"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(PreviewTest, PictureThatArrivesWhileRetryingIsShown)
{
    // The file appears while the preview pumps messages between its retries.
    const QString path = env.windowsPath(QStringLiteral("clips/late.jpeg"));
    int pumps = 0;
    QTimer arrival;
    arrival.setInterval(0);
    QObject::connect(&arrival, &QTimer::timeout, [&] {
        if (++pumps == 10)
            env.writeFile(QStringLiteral("clips/late.jpeg"), testData(QStringLiteral("jpeg/go-video-001.rgb.jpeg")));
    });
    arrival.start();

    ShowImagePreview(path);

    EXPECT_GE(pumps, 10);
    EXPECT_TRUE(env.dialogs().prompts().isEmpty());
    EXPECT_TRUE(preview().isVisible());
    EXPECT_EQ(preview().windowTitle(), "Brisca Image Preview: late.jpeg");
}

}  // namespace

// The real dialogs, answered from inside their own event loop: a filter
// waits for the dialog's show event and acts on it once the dialog runs.

#include "platform/QtInteraction.h"
#include "support/TestEnvironment.h"
#include "support/WhenShown.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <functional>
#include <gtest/gtest.h>

using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;

namespace {

TEST(QtInteraction, MessageBoxShowsItsButtonsAndReportsTheOneClicked)
{
    QCoreApplication::setApplicationName(QStringLiteral("Brisca Viewer"));
    QString title;
    QStringList buttons;
    WhenShown<QMessageBox> answer([&](QMessageBox& box) {
        title = box.windowTitle();
        for (QAbstractButton* button : box.buttons())
            buttons += button->text();
        EXPECT_EQ(static_cast<QAbstractButton*>(box.defaultButton()), box.button(QMessageBox::Yes));
        box.button(QMessageBox::No)->click();
    });

    platform::QtInteraction dialogs;
    EXPECT_EQ(dialogs.msgBox(QStringLiteral("Save?"), MsgButtons::YesNoCancel, MsgIcon::Question, {}, nullptr),
              MsgResult::No);
    EXPECT_EQ(title, u"Brisca Viewer");
    EXPECT_EQ(buttons.size(), 3);
}

TEST(QtInteraction, AMessageBoxClosedWithoutAButtonAnswersWithItsLastButton)
{
    WhenShown<QMessageBox> close([](QMessageBox& box) { box.reject(); });
    platform::QtInteraction dialogs;
    EXPECT_EQ(dialogs.msgBox(QStringLiteral("Retry?"), MsgButtons::RetryCancel, MsgIcon::Exclamation,
                             QStringLiteral("Title"), nullptr),
              MsgResult::Cancel);
}

TEST(QtInteraction, OpenDialogSpeaksWindowsPaths)
{
    TestEnvironment env;
    const QString art = env.mapDrive(u'e', QStringLiteral("cd")) + QStringLiteral("/Art");
    env.writeFile(QStringLiteral("cd/Art/Pic.gif"), "GIF89a");
    QString startFolder;
    WhenShown<QFileDialog> pick([&](QFileDialog& dialog) {
        startFolder = dialog.directory().path();
        dialog.selectFile(art + QStringLiteral("/Pic.gif"));
        static_cast<QDialog&>(dialog).accept();  // QFileDialog's own accept is protected
    });

    platform::QtInteraction dialogs;
    platform::OpenFileRequest request;
    request.initDir = QStringLiteral("E:\\ART\\");
    request.filter = QStringLiteral("Pictures|*.gif");
    const std::optional<platform::OpenFileResult> chosen = dialogs.showOpen(request);
    EXPECT_EQ(startFolder, art);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(chosen->fileName, u"e:\\Art\\Pic.gif");
    EXPECT_EQ(chosen->fileTitle, u"Pic.gif");
}

TEST(QtInteraction, AnyConfirmedNameServesSoAnEmptyFolderCanBePicked)
{
    TestEnvironment env;
    QDir().mkpath(env.mapDrive(u'e', QStringLiteral("cd")) + QStringLiteral("/Empty"));
    // A dialog that refused the name would warn and stay open: then the test fails instead of waiting.
    WhenShown<QMessageBox> dismissWarning([](QMessageBox& box) { box.accept(); });
    WhenShown<QFileDialog> confirm([](QFileDialog& dialog) {
        static_cast<QDialog&>(dialog).accept();
        if (dialog.isVisible())
            dialog.reject();
    });

    platform::QtInteraction dialogs;
    platform::OpenFileRequest request;
    request.initDir = QStringLiteral("E:\\EMPTY");
    request.fileName = QStringLiteral("All Files");
    request.defaultExt = QStringLiteral(".txt");
    const std::optional<platform::OpenFileResult> chosen = dialogs.showOpen(request);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_TRUE(chosen->fileTitle.startsWith(u"All Files")) << chosen->fileTitle.toStdString();
    EXPECT_EQ(chosen->fileName, QStringLiteral("e:\\Empty\\") + chosen->fileTitle);
}

TEST(QtInteraction, CancellingTheOpenDialogGivesNothing)
{
    TestEnvironment env;
    WhenShown<QFileDialog> cancel([](QFileDialog& dialog) { dialog.reject(); });
    platform::QtInteraction dialogs;
    EXPECT_EQ(dialogs.showOpen({}), std::nullopt);
}

}  // namespace

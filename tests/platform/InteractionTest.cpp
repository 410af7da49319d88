// The dialog seam as tests script it, the file dialog's filters, the service
// getters and message pumping.

#include "platform/FileDialogFilter.h"
#include "platform/FileSystem.h"
#include "platform/Interaction.h"
#include "platform/Pump.h"
#include "platform/Services.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <gtest/gtest.h>
#include <stdexcept>

using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;

namespace {

TEST(ScriptedInteraction, RecordsMessagesAndAnswersFromTheQueueThenWithTheFirstButton)
{
    QCoreApplication::setApplicationName(QStringLiteral("Brisca Viewer"));
    platform::ScriptedInteraction dialogs;
    dialogs.answerNext(MsgResult::No);

    EXPECT_EQ(dialogs.msgBox(QStringLiteral("Save?"), MsgButtons::YesNoCancel, MsgIcon::Question, {}, nullptr),
              MsgResult::No);
    const std::pair<MsgButtons, MsgResult> firstButtons[] = {
        {MsgButtons::Ok, MsgResult::Ok},           {MsgButtons::OkCancel, MsgResult::Ok},
        {MsgButtons::AbortRetryIgnore, MsgResult::Abort}, {MsgButtons::YesNoCancel, MsgResult::Yes},
        {MsgButtons::YesNo, MsgResult::Yes},       {MsgButtons::RetryCancel, MsgResult::Retry},
    };
    for (const auto& [buttons, first] : firstButtons)
        EXPECT_EQ(dialogs.msgBox(QStringLiteral("x"), buttons, MsgIcon::None, QStringLiteral("T"), nullptr), first);

    ASSERT_EQ(dialogs.messages().size(), 7u);
    EXPECT_EQ(dialogs.messages()[0].title, u"Brisca Viewer");
    EXPECT_EQ(dialogs.messages()[0].icon, MsgIcon::Question);
    EXPECT_EQ(dialogs.messages()[1].title, u"T");
    EXPECT_EQ(dialogs.prompts().first(), u"Save?");

    dialogs.clear();
    EXPECT_TRUE(dialogs.messages().empty());
}

TEST(ScriptedInteraction, OpenDialogsAreRecordedAndCancelledUnlessAFileIsQueued)
{
    platform::ScriptedInteraction dialogs;
    dialogs.chooseNextFile(platform::OpenFileResult{QStringLiteral("e:\\Art\\x.gif"), QStringLiteral("x.gif")});
    dialogs.chooseNextFile(std::nullopt);

    platform::OpenFileRequest request;
    request.title = QStringLiteral("Pick");
    request.initDir = QStringLiteral("e:\\Art");
    const auto first = dialogs.showOpen(request);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->fileName, u"e:\\Art\\x.gif");
    EXPECT_EQ(dialogs.showOpen(request), std::nullopt);
    EXPECT_EQ(dialogs.showOpen(request), std::nullopt);
    ASSERT_EQ(dialogs.openRequests().size(), 3u);
    EXPECT_EQ(dialogs.openRequests()[0].initDir, u"e:\\Art");
}

TEST(FileDialogFilter, TurnsBarPairsIntoQtFilters)
{
    EXPECT_EQ(platform::toQtFileFilter(QStringLiteral("Text files (*.txt)|*.txt|Pictures|*.gif;*.jpg")),
              u"Text files (*.txt);;Pictures (*.gif *.jpg)");
    EXPECT_EQ(platform::toQtFileFilter(QStringLiteral("All Files (*.*)|*.*|Dangling")), u"All Files (*.*)");
    EXPECT_EQ(platform::toQtFileFilter(QString()), QString());
}

TEST(Services, FailLoudlyWhenNothingIsInstalled)
{
    EXPECT_THROW(platform::settingsStore(), std::logic_error);
    EXPECT_THROW(platform::fileSystem(), std::logic_error);
    EXPECT_THROW(platform::interaction(), std::logic_error);
    EXPECT_THROW(platform::programHostFolder(), std::logic_error);
}

TEST(Services, GiveWhatTheTestEnvironmentInstalled)
{
    TestEnvironment env;
    EXPECT_EQ(&platform::settingsStore(), &env.settings());
    EXPECT_EQ(&platform::fileSystem(), &env.fs());
    EXPECT_EQ(&platform::interaction(), &env.dialogs());
    EXPECT_EQ(platform::programHostFolder(), env.programHostFolder());
    EXPECT_EQ(platform::programFolder(), QStringLiteral("C:") + QString(env.programHostFolder()).replace(u'/', u'\\'));

    const QString host = env.mapDrive(u'p', QStringLiteral("program"));
    EXPECT_EQ(platform::programHostFolder(), host);
    EXPECT_EQ(platform::programFolder(), u"p:\\");
}

TEST(Pump, DoEventsRunsPendingWork)
{
    bool ran = false;
    QMetaObject::invokeMethod(QCoreApplication::instance(), [&] { ran = true; }, Qt::QueuedConnection);
    platform::doEvents();
    EXPECT_TRUE(ran);
}

}  // namespace

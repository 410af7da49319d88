// Started as a new user would: a second copy of the program, in a process of
// its own with its own settings, program and data folders, serves its
// locations to a client that types the messages by hand, and exchanges with
// the program in this process, each configured as the other's peer.

#include "app/ProgramHooks.h"
#include "exchange/LoopbackPeer.h"
#include "exchange/PeerExchange.h"
#include "exchange/PeerStart.h"
#include "exchange/Progress.h"
#include "platform/Forms.h"
#include "platform/SettingsStore.h"
#include "search/FormStubs.h"
#include "search/ListSearch.h"
#include "search/SearchForm.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using platform::Forms;

namespace {

// A port no one listens on at the moment.
quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

QByteArray archiveOf(const QString& name) { return ("PK\x03\x04 archive of " + name).toLatin1().repeated(5000); }

// The program copied into a folder of its own (its program folder holds
// defaults.txt, which names the data folder), started with its own settings.
class SecondProgram {
public:
    SecondProgram(TestEnvironment& env, quint16 listenPort, quint16 peerPort)
    {
        const QString program = dir_.filePath("program");
        const QString data = dir_.filePath("data");
        QDir().mkpath(program);
        QDir().mkpath(data);
        QFile::copy(BRISCA_BIN_DIR "/brisca", program + "/brisca");
        QFile::copy(BRISCA_BIN_DIR "/Brisca.zip", data + "/Brisca.zip");
        const QString dataFolder = env.fs().windowsPath(data) + u'\\';
        write(program + "/defaults.txt", (dataFolder + "\r\nBrisca.txt\r\nBrisca.zip\r\n127.0.0.1\r\n").toLatin1());
        write(data + "/locations.txt", "\"Birds\",\"C:\\Clips\\Birds\"\r\n");
        write(data + "/Birds.zip", archiveOf("Birds"));

        platform::SettingsStore settings(dir_.filePath("config/brisca/settings.ini"));
        // A CD drive that is ready, so the browser's start asks nothing.
        settings.save(SettingsApp, "Drives", "d", data);
        settings.save(SettingsApp, SettingsSection, "OffLineDrive", "d:");
        settings.save(SettingsApp, SettingsSection, "NickName", "Bob");
        settings.save(SettingsApp, SettingsSection, "JoinDate", "1/2/2020");
        settings.save(SettingsApp, PeersSection, "ListenPort", QString::number(listenPort));
        settings.save(SettingsApp, PeersSection, "PeerHost", "127.0.0.1");
        settings.save(SettingsApp, PeersSection, "PeerPort", QString::number(peerPort));

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", dir_.filePath("config"));
        environment.insert("XDG_RUNTIME_DIR", dir_.path());
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        process_.setProcessEnvironment(environment);
        process_.setProgram(program + "/brisca");
        process_.start();
    }
    ~SecondProgram()
    {
        process_.kill();
        process_.waitForFinished();
    }

    // Waits until the program answers on its port.
    bool waitUntilListening(quint16 port)
    {
        return QTest::qWaitFor(
            [&] {
                QTcpSocket probe;
                probe.connectToHost(QHostAddress::LocalHost, port);
                return probe.waitForConnected(200);
            },
            LoopbackPeer::WaitMs * 3);
    }

private:
    static void write(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir dir_;
    QProcess process_;
};

TEST(PeerProgramsTest, ASecondProgramServesATypingClientAndExchangesWithThisOne)
{
    TestEnvironment env;
    ListSearch = ListSearchModule{};
    const quint16 annPort = freePort();
    const quint16 bobPort = freePort();
    SecondProgram bob(env, bobPort, annPort);
    ASSERT_TRUE(bob.waitUntilListening(bobPort));

    // The messages typed by hand.
    LoopbackPeer typing;
    ASSERT_TRUE(typing.connectTo(bobPort));
    EXPECT_EQ(typing.ask("Connecting from: 127.0.0.1", 3), "OK:");
    EXPECT_EQ(typing.ask("I AM: Ann 39793.5", 15), "I AM: Bob 43832");
    EXPECT_EQ(typing.ask("Req List Info:", 15), "Lists:\r\nBirds\r\n");
    const QByteArray archiveReply = "List: Birds.zip" + archiveOf("Birds");
    EXPECT_EQ(typing.ask("GetList: Birds", archiveReply.size()), archiveReply);
    EXPECT_EQ(typing.ask("GetList: Owls", 3), "NA:");

    // This process's program: Ann, with one location of her own and Bob as her peer.
    registerStubForms(OpenedWindows);
    Forms::registerForm("Progress", [] { return new Progress; });
    Forms::registerForm("SearchForm", [] { return new SearchForm({}, searchHooks()); });
    env.settings().save(SettingsApp, SettingsSection, "OffLineDrive", "d:");
    env.settings().save(SettingsApp, SettingsSection, "NickName", "Ann");
    env.settings().save(SettingsApp, PeersSection, "ListenPort", QString::number(annPort));
    env.settings().save(SettingsApp, PeersSection, "PeerHost", "127.0.0.1");
    env.settings().save(SettingsApp, PeersSection, "PeerPort", QString::number(bobPort));
    env.writeFile("program/locations.txt", "\"Owls\",\"C:\\Clips\\Owls\"\r\n");
    SearchForm& form = Forms::get<SearchForm>("SearchForm");

    ASSERT_TRUE(QTest::qWaitFor([] { return ListSearch.PeerListFile.startsWith("Birds.zip"); }, 30000));
    EXPECT_EQ(ListSearch.PeerIdent, "Bob 43832");
    EXPECT_EQ(ListSearch.PeerAddress, "127.0.0.1");
    // Bob asked Ann at his start, before she listened; she serves a later ask.
    LoopbackPeer asking;
    ASSERT_TRUE(asking.connectTo(annPort));
    EXPECT_EQ(asking.ask("Req List Info:", 14), "Lists:\r\nOwls\r\n");
    EXPECT_EQ(peerExchange(form).MaxConnect, 1);

    Forms::reset();
    ListSearch = ListSearchModule{};
}

}  // namespace

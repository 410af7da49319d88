// The exchange's server over real loopback connections: every message a
// client may send, the archives it hands out byte for byte, and what it does
// with peers that send nonsense, close early or come too many.

#include "exchange/LoopbackPeer.h"
#include "exchange/PeerExchange.h"
#include "exchange/SndQTime.h"
#include "platform/Winsock.h"
#include "search/ListSearch.h"
#include "search/SearchForm.h"
#include "support/TestEnvironment.h"

#include "platform/QtInteraction.h"
#include "support/WhenShown.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QScopeGuard>
#include <QTemporaryFile>
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <memory>
#include <netinet/in.h>
#include <ostream>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

long openFiles()
{
    return static_cast<long>(QDir("/proc/self/fd").entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size());
}

// An archive's bytes: every byte value, repeated to the size.
QByteArray archiveBytes(const QString& name, qsizetype size = 200000)
{
    QByteArray bytes = name.toLatin1() + '\0';
    while (bytes.size() < size)
        bytes += static_cast<char>(bytes.size() % 256);
    return bytes;
}

class PeerServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ListSearch = ListSearchModule{};
        ListSearch.LocalFolder = env.windowsPath("data") + u'\\';
        ListSearch.NickName = "Kim";
        ListSearch.JoinDate = 39793.5;  // 11 December 2008, 12:00
        QDir().mkpath(env.hostPath("data"));
        platform::Winsock& listener = *exchange.IPServ[0];
        listener.LocalPort = 0;
        ASSERT_TRUE(listener.listen(QHostAddress::LocalHost)) << listener.errorText().toStdString();
    }
    void TearDown() override { ListSearch = ListSearchModule{}; }

    void setLocations(const QStringList& descriptions)
    {
        ListSearch.LocCount = static_cast<std::int32_t>(descriptions.size());
        for (int i = 0; i < descriptions.size(); ++i) {
            ListSearch.Locations[i + 1][1] = descriptions[i];
            ListSearch.Locations[i + 1][2] = "C:\\Clips\\";
        }
    }
    quint16 port() const { return exchange.IPServ[0]->LocalPort; }

    TestEnvironment env;
    SearchForm form{QString(), sendQueueHooks()};
    PeerExchange& exchange = peerExchange(form);
};

struct AnswerCase {
    const char* name;
    QStringList locations;
    QStringList archives;  // sandbox paths of the archive files present
    QByteArray message;
    QByteArray reply;
};

void PrintTo(const AnswerCase& c, std::ostream* os) { *os << c.name; }

class ServerAnswerTest : public PeerServerTest, public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(ServerAnswerTest, AnswersEachMessageExactly)
{
    const AnswerCase& c = GetParam();
    setLocations(c.locations);
    for (const QString& archive : c.archives)
        env.writeFile(archive, archiveBytes(archive));
    LoopbackPeer client;
    ASSERT_TRUE(client.connectTo(port()));
    EXPECT_EQ(client.ask(c.message, c.reply.size()), c.reply);
    EXPECT_EQ(exchange.MaxConnect, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, ServerAnswerTest,
    ::testing::Values(
        AnswerCase{"ListsAandB", {"A", "B"}, {}, "Req List Info:", "Lists:\r\nA\r\nB\r\n"},
        AnswerCase{"ListsNone", {}, {}, "Req List Info:", "Lists:\r\n"},
        AnswerCase{"ListsInnerBlanks", {" Old  Clips "}, {}, "Req List Info:", "Lists:\r\n Old  Clips \r\n"},
        AnswerCase{"GetListInnerBlanks", {" Old  Clips "}, {"data/Old  Clips.zip"}, "GetList:  Old  Clips ",
                   "List:  Old  Clips .zip" + archiveBytes("data/Old  Clips.zip")},
        AnswerCase{"GetListFirstWithArchive", {"B", "A", "C", "D", "A"}, {"data/A.zip"}, "GetList: A",
                   "List: A.zip" + archiveBytes("data/A.zip")},
        AnswerCase{"GetListOneCharacterAfterColon", {"B"}, {"data/B.zip"}, "GetList:AB",
                   "List: B.zip" + archiveBytes("data/B.zip")},
        AnswerCase{"GetListCaseDiffers", {"a"}, {"data/a.zip"}, "GetList: A", "NA:"},
        AnswerCase{"GetListNoArchive", {"A"}, {}, "GetList: A", "NA:"},
        AnswerCase{"GetListNoLocation", {"A"}, {"data/A.zip"}, "GetList: ..\\data\\A", "NA:"},
        AnswerCase{"GetListOutsideDataFolder", {"..\\outside"}, {"outside.zip"}, "GetList: ..\\outside", "NA:"},
        AnswerCase{"GetListDriveName", {"A"}, {"data/A.zip"}, "GetList: c:\\etc\\passwd", "NA:"},
        AnswerCase{"Hello", {}, {}, "Hello", "NA:"},
        AnswerCase{"FooBar", {}, {}, "Foo:bar", "NA:"},
        AnswerCase{"Binary", {}, {}, QByteArray("\x00\xff\r\n\x01", 5), "NA:"},
        AnswerCase{"ConnectingFrom", {}, {}, "Connecting from: 10.1.2.3", "OK:"},
        AnswerCase{"Identity", {}, {}, "I AM: Ann 40000", "I AM: Kim 39793.5"}),
    [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

TEST_F(PeerServerTest, AMegabyteWithoutLineEndOnlyEverGetsNA)
{
    LoopbackPeer flooding;
    ASSERT_TRUE(flooding.connectTo(port()));
    flooding.send(QByteArray(1 << 20, 'x'));
    ASSERT_TRUE(QTest::qWaitFor([&] { return flooding.received().size() >= 3; }, LoopbackPeer::WaitMs));
    const QByteArray replies = flooding.received();
    EXPECT_TRUE(QByteArray("NA:").repeated(replies.size() / 3 + 1).startsWith(replies)) << replies.left(80).data();
    // Another connection gets an element of its own and is served meanwhile.
    LoopbackPeer next;
    ASSERT_TRUE(next.connectTo(port()));
    EXPECT_EQ(next.ask("Req List Info:", 8), "Lists:\r\n");
    EXPECT_EQ(exchange.MaxConnect, 2);
    EXPECT_EQ(exchange.IPServ.size(), 3u);
}

TEST_F(PeerServerTest, APeerThatClosesMidReplyLeavesTheServerServing)
{
    setLocations({"A"});
    env.writeFile("data/A.zip", archiveBytes("A", 8 << 20));
    {
        LoopbackPeer leaving;
        ASSERT_TRUE(leaving.connectTo(port()));
        leaving.send("GetList: A");
        ASSERT_TRUE(QTest::qWaitFor([&] { return !leaving.received().isEmpty(); }, LoopbackPeer::WaitMs));
    }
    LoopbackPeer next;
    ASSERT_TRUE(next.connectTo(port()));
    EXPECT_EQ(next.ask("Connecting from: x", 3), "OK:");
    EXPECT_TRUE(QTest::qWaitFor([&] { return exchange.openConnections() == 1; }, LoopbackPeer::WaitMs));
}

TEST_F(PeerServerTest, AnArchiveReplacedBetweenRequestsIsSentAsItIsNow)
{
    setLocations({"A"});
    LoopbackPeer client;
    ASSERT_TRUE(client.connectTo(port()));
    const QByteArray replacements[] = {archiveBytes("first"), archiveBytes("other"), archiveBytes("long", 300000)};
    for (const QByteArray& archive : replacements) {
        // Packed beside it and moved into its place, as the rescan does, or rewritten in place.
        env.writeFile("data/A.zip.new", archive);
        ASSERT_TRUE(QFile::remove(env.hostPath("data/A.zip")) || !QFile::exists(env.hostPath("data/A.zip")));
        ASSERT_TRUE(QFile::rename(env.hostPath("data/A.zip.new"), env.hostPath("data/A.zip")));
        const QByteArray reply = "List: A.zip" + archive;
        EXPECT_EQ(client.ask("GetList: A", reply.size()), reply);
    }
}

TEST_F(PeerServerTest, RequestsBeyondTheLastElementAreRefusedAndClosed)
{
    exchange.MaxConnect = PeerExchange::MaxElements;
    LoopbackPeer refused;
    ASSERT_TRUE(refused.connectTo(port()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return refused.closedByPeer(); }, LoopbackPeer::WaitMs));
    EXPECT_EQ(exchange.MaxConnect, PeerExchange::MaxElements);
    EXPECT_EQ(exchange.IPServ.size(), 1u);
}

// A crowd of idle peers, more than the server serves at once, under an
// open-file limit that two descriptors per peer would exhaust: the server
// holds its cap, the program can still open a file and answer a message box,
// and once the idle ones are closed a new peer is answered again.
TEST_F(PeerServerTest, ACrowdOfIdlePeersNeverTakesTheProgramsDescriptors)
{
    constexpr int Crowd = 600;
    exchange.IdleTimeoutMs = 500;
    rlimit original{};
    getrlimit(RLIMIT_NOFILE, &original);
    rlimit lowered = original;
    lowered.rlim_cur = openFiles() + Crowd + PeerExchange::MaxOpen + PeerExchange::ReservedDescriptors + 40;
    ASSERT_LT(lowered.rlim_cur, openFiles() + 2 * Crowd);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &lowered), 0);
    const auto restore = qScopeGuard([&] { setrlimit(RLIMIT_NOFILE, &original); });

    std::vector<std::unique_ptr<QTcpSocket>> crowd;
    for (int i = 0; i < Crowd; ++i) {
        crowd.push_back(std::make_unique<QTcpSocket>());
        crowd.back()->connectToHost(QHostAddress::LocalHost, port());
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return exchange.openConnections() == PeerExchange::MaxOpen; },
                                LoopbackPeer::WaitMs));
    QTemporaryFile file;
    EXPECT_TRUE(file.open()) << file.errorString().toStdString();
    WhenShown<QMessageBox> answer([](QMessageBox& box) { box.button(QMessageBox::Ok)->click(); });
    platform::QtInteraction dialogs;
    EXPECT_EQ(dialogs.msgBox("Still here", platform::MsgButtons::Ok, platform::MsgIcon::None, {}, nullptr),
              platform::MsgResult::Ok);
    EXPECT_EQ(exchange.openConnections(), PeerExchange::MaxOpen);

    LoopbackPeer late;
    ASSERT_TRUE(late.connectTo(port()));
    EXPECT_EQ(late.ask("Connecting from: x", 3), "OK:");
    EXPECT_LE(exchange.MaxConnect, PeerExchange::MaxOpen);
}

// Closed connections give their elements back: 40,000 in a run, more than
// there are indexes, and the next peer is still answered.
TEST_F(PeerServerTest, FortyThousandConnectionsLeaveTheServerServing)
{
    constexpr int Batch = 500;
    int requests = 0;
    QObject::connect(exchange.IPServ[0], &platform::Winsock::ConnectionRequest, [&] { ++requests; });
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port());
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    for (int made = 0; made < 40000; made += Batch) {
        for (int i = 0; i < Batch; ++i) {
            const int peer = ::socket(AF_INET, SOCK_STREAM, 0);
            ASSERT_EQ(::connect(peer, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
            ::close(peer);
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return requests == made + Batch; }, LoopbackPeer::WaitMs));
    }
    LoopbackPeer next;
    ASSERT_TRUE(next.connectTo(port()));
    EXPECT_EQ(next.ask("Req List Info:", 8), "Lists:\r\n");
    EXPECT_LT(exchange.MaxConnect, PeerExchange::MaxElements);
}

TEST(ConnectionCap, KeepsTheReserveFreeAndNeverExceedsTheMaximum)
{
    struct Row {
        unsigned long long limit;
        long openNow;
        std::int32_t cap;
    };
    for (const Row& row : {Row{1024, 40, 256}, Row{500, 40, 204}, Row{300, 40, 4}, Row{200, 40, 0},
                           Row{RLIM_INFINITY, 40, 256}}) {
        EXPECT_EQ(connectionCap(row.limit, row.openNow), row.cap) << row.limit;
    }
}

}  // namespace

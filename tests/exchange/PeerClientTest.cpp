// The exchange's client and its send queue over a real loopback connection to
// a peer played by hand: what it sends and when (stop and wait), what it keeps
// from each reply, and a whole exchange with the program's own server.

#include "exchange/LoopbackPeer.h"
#include "exchange/PeerExchange.h"
#include "exchange/SndQTime.h"
#include "platform/Winsock.h"
#include "runtime/AnsiText.h"
#include "search/ListSearch.h"
#include "search/SearchForm.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <ostream>

namespace {

class PeerClientTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ListSearch = ListSearchModule{};
        ListSearch.NickName = "Kim";
        ListSearch.JoinDate = 39793.5;
    }
    void TearDown() override { ListSearch = ListSearchModule{}; }

    // Connects IPClient to the hand-played peer. The timer's ticks are left to
    // the test: once enabled, it would tick only after an hour.
    void connectClient()
    {
        form.SndQTime->setInterval(3600 * 1000);
        exchange.IPClient->connectToHost("127.0.0.1", peer.listen());
        ASSERT_TRUE(peer.waitForConnection());
        ASSERT_TRUE(QTest::qWaitFor([&] { return ListSearch.SendQTail == 3; }, LoopbackPeer::WaitMs));
    }
    // Forgets the opening messages the connection queued, to queue the test's own.
    void clearQueue()
    {
        form.SndQTime->stop();
        ListSearch.SendQ = {};
        ListSearch.SendQHead = 0;
        ListSearch.SendQTail = 0;
    }
    QStringList queued() const
    {
        QStringList messages;
        for (std::int32_t i = 1; i <= ListSearch.SendQTail; ++i)
            messages << ListSearch.SendQ[i].Data;
        return messages;
    }

    TestEnvironment env;
    SearchForm form{QString(), sendQueueHooks()};
    PeerExchange& exchange = peerExchange(form);
    LoopbackPeer peer;
};

// One step of the send queue and what the peer has received once it is done.
struct QueueStep {
    enum Action { Tick, EnableTimer, Reply } action;
    QByteArray reply;     // for Reply
    QByteArray received;  // everything the peer has received after the step
    std::int32_t head;
    bool timerActive;
};

TEST_F(PeerClientTest, SendsOneMessagePerReplyAndNothingWhileAReplyIsAwaited)
{
    connectClient();
    clearQueue();
    for (const char* message : {"one", "two", "three"})
        ASSERT_TRUE(queueMessage(message));
    const QueueStep steps[] = {
        {QueueStep::Tick, {}, "one", 1, false},
        {QueueStep::EnableTimer, {}, "one", 1, true},
        {QueueStep::Tick, {}, "one", 1, true},  // awaiting the reply: sends nothing
        {QueueStep::Reply, "NA:", "one", 1, true},
        {QueueStep::Tick, {}, "onetwo", 2, false},
        {QueueStep::Reply, QByteArray("\x00\x01", 2), "onetwo", 2, true},  // any reply answers
        {QueueStep::Tick, {}, "onetwothree", 3, false},
        {QueueStep::Reply, "OK:", "onetwothree", 3, false},  // nothing waits: the timer stays off
        {QueueStep::Tick, {}, "onetwothree", 3, false},
    };
    int number = 0;
    for (const QueueStep& step : steps) {
        SCOPED_TRACE(::testing::Message() << "step " << ++number);
        switch (step.action) {
        case QueueStep::Tick: SndQTime_Timer(form); break;
        case QueueStep::EnableTimer: form.SndQTime->start(); break;
        case QueueStep::Reply: {
            peer.send(step.reply);
            const std::int32_t head = ListSearch.SendQHead;
            ASSERT_TRUE(QTest::qWaitFor([&] { return ListSearch.SendQ[head].State == 0; }, LoopbackPeer::WaitMs));
            break;
        }
        }
        peer.waitFor(step.received.size());
        EXPECT_EQ(peer.received(), step.received);
        EXPECT_EQ(ListSearch.SendQHead, step.head);
        EXPECT_EQ(form.SndQTime->isActive(), step.timerActive);
    }
}

TEST_F(PeerClientTest, QueueEdges)
{
    // At start nothing waits: the first tick stops the timer.
    form.SndQTime->start();
    SndQTime_Timer(form);
    EXPECT_FALSE(form.SndQTime->isActive());

    // With the program closing, queued messages stay unsent while the shutdown waits.
    queueMessage("unsent");
    ListSearch.QuitFlag = true;
    ListSearch.RescanBusy = true;
    SndQTime_Timer(form);
    EXPECT_EQ(ListSearch.SendQHead, 0);
    ListSearch.QuitFlag = false;

    // A send the socket refuses (no connection) leaves the exchange stopped.
    form.SndQTime->start();
    SndQTime_Timer(form);
    EXPECT_EQ(ListSearch.SendQHead, 1);
    EXPECT_EQ(ListSearch.SendQ[1].State, 2);
    EXPECT_FALSE(form.SndQTime->isActive());

    // A run has room for 1000 messages; the 1001st is dropped.
    for (int i = 2; i <= 1000; ++i)
        ASSERT_TRUE(queueMessage("m"));
    EXPECT_FALSE(queueMessage("dropped"));
    EXPECT_EQ(ListSearch.SendQTail, 1000);
}

struct ReplyCase {
    const char* name;
    QByteArray reply;
    QString peerIdent;
    QString peerAddress;
    QString peerListFile;
    QStringList queuedAfter;  // the items queued after the one already waiting
};

void PrintTo(const ReplyCase& c, std::ostream* os) { *os << c.name; }

class ClientReplyTest : public PeerClientTest, public ::testing::WithParamInterface<ReplyCase> {};

TEST_P(ClientReplyTest, KeepsWhatTheReplyCarries)
{
    const ReplyCase& c = GetParam();
    connectClient();
    clearQueue();
    // Item 1 was sent and awaits its reply; item 2 waits to be sent.
    queueMessage("Req List Info:");
    queueMessage("waiting");
    ListSearch.SendQHead = 1;
    ListSearch.SendQ[1].State = 2;

    peer.send(c.reply);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ListSearch.SendQ[1].State == 0; }, LoopbackPeer::WaitMs));

    EXPECT_EQ(ListSearch.PeerIdent, c.peerIdent);
    EXPECT_EQ(ListSearch.PeerAddress, c.peerAddress);
    EXPECT_EQ(ListSearch.PeerListFile, c.peerListFile);
    EXPECT_EQ(queued().mid(2), c.queuedAfter);
    EXPECT_TRUE(form.SndQTime->isActive());  // "waiting" still waits
}

const QByteArray ArchiveStart("PK\x03\x04\x00\xff", 6);

INSTANTIATE_TEST_SUITE_P(
    Replies, ClientReplyTest,
    ::testing::Values(
        ReplyCase{"Identity", "I AM: Bob 40000.25", "Bob 40000.25", "127.0.0.1", {}, {}},
        ReplyCase{"ListsAandB", "Lists:\r\nA\r\nB\r\n", {}, {}, {}, {"GetList: A", "GetList: B"}},
        ReplyCase{"ListsNone", "Lists:\r\n", {}, {}, {}, {}},
        ReplyCase{"ListsInnerBlanksAndUnendedPiece", "Lists:\r\n Old  Clips \r\nC", {}, {}, {},
                  {"GetList:  Old  Clips "}},
        ReplyCase{"ListWithArchiveData", "List: A.zip" + ArchiveStart, {}, {}, "A.zip" + runtime::fromAnsi(ArchiveStart), {}},
        ReplyCase{"NA", "NA:", {}, {}, {}, {}},
        ReplyCase{"NoColon", "Lists", {}, {}, {}, {}},
        ReplyCase{"ColonBeyondThePeek", QByteArray(64, 'x') + "I AM: Bob 1", {}, {}, {}, {}}),
    [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

TEST_F(PeerClientTest, AWholeExchangeWithTheProgramsOwnServer)
{
    QDir().mkpath(env.hostPath("data"));
    ListSearch.LocalFolder = env.windowsPath("data") + u'\\';
    ListSearch.LocCount = 2;
    ListSearch.Locations[1][1] = "A";
    ListSearch.Locations[2][1] = "B";
    env.writeFile("data/A.zip", QByteArray(300000, 'a'));
    env.writeFile("data/B.zip", QByteArray(1000, 'b'));
    platform::Winsock& listener = *exchange.IPServ[0];
    listener.LocalPort = 0;
    ASSERT_TRUE(listener.listen(QHostAddress::LocalHost));

    exchange.IPClient->connectToHost("127.0.0.1", listener.LocalPort);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return ListSearch.PeerListFile.startsWith("B.zip") && ListSearch.SendQ[5].State == 0; }, 20000));

    EXPECT_EQ(queued(), QStringList({"Connecting from: 127.0.0.1", "I AM: Kim 39793.5", "Req List Info:",
                                     "GetList: A", "GetList: B"}));
    EXPECT_EQ(ListSearch.PeerIdent, "Kim 39793.5");
    EXPECT_EQ(ListSearch.PeerAddress, "127.0.0.1");
    EXPECT_EQ(exchange.MaxConnect, 1);
}

}  // namespace

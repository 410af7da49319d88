// The socket stand-in over real loopback connections: arrivals while a
// handler pumps messages, requests no one accepts, sends without a
// connection and peers that close.

#include "platform/Winsock.h"
#include "runtime/ErrorNumber.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using platform::Winsock;

namespace {

constexpr int WaitMs = 10000;

class WinsockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(listener.listen(QHostAddress::LocalHost));
        QObject::connect(&listener, &Winsock::ConnectionRequest, [this](qintptr requestID) {
            if (acceptRequests)
                accepted.Accept(requestID);
        });
        peer.connectToHost(QHostAddress::LocalHost, listener.LocalPort);
        ASSERT_TRUE(peer.waitForConnected(WaitMs));
    }
    bool waitAccepted() { return QTest::qWaitFor([&] { return accepted.isConnected(); }, WaitMs); }
    void send(const QByteArray& bytes)
    {
        peer.write(bytes);
        peer.flush();
    }

    Winsock listener;
    Winsock accepted;
    bool acceptRequests = true;
    QTcpSocket peer;
};

TEST_F(WinsockTest, BytesThatComeWhileAHandlerPumpsArriveOnceItHasReturned)
{
    ASSERT_TRUE(waitAccepted());
    QStringList arrivals;
    int depth = 0;
    int deepest = 0;
    QObject::connect(&accepted, &Winsock::DataArrival, [&] {
        deepest = std::max(deepest, ++depth);
        arrivals << accepted.GetData();
        if (arrivals.size() == 1) {
            send("second");
            QTest::qWait(300);  // pumps messages while "second" comes in
        }
        --depth;
    });
    send("first");
    ASSERT_TRUE(QTest::qWaitFor([&] { return arrivals.size() == 2; }, WaitMs));
    EXPECT_EQ(arrivals, QStringList({"first", "second"}));
    EXPECT_EQ(deepest, 1);
}

TEST_F(WinsockTest, ASocketDestroyedWhileItsHandlerPumpsLetsTheHandlerEnd)
{
    acceptRequests = false;
    QPointer<Winsock> doomed = new Winsock;
    QObject::connect(&listener, &Winsock::ConnectionRequest, [&](qintptr requestID) { doomed->Accept(requestID); });
    QObject::connect(doomed, &Winsock::DataArrival, [&] {
        // As a window closed from within the pump deletes what it owns.
        QTimer::singleShot(0, [&] { doomed->deleteLater(); });
        QTest::qWait(100);
    });
    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, listener.LocalPort);
    ASSERT_TRUE(client.waitForConnected(WaitMs));
    client.write("GetList: A");
    ASSERT_TRUE(QTest::qWaitFor([&] { return doomed.isNull(); }, WaitMs));
    EXPECT_TRUE(QTest::qWaitFor([&] { return client.state() == QAbstractSocket::UnconnectedState; }, WaitMs));
}

TEST_F(WinsockTest, ARequestNoOneAcceptsIsClosed)
{
    ASSERT_TRUE(waitAccepted());
    acceptRequests = false;
    QTcpSocket refused;
    refused.connectToHost(QHostAddress::LocalHost, listener.LocalPort);
    EXPECT_TRUE(QTest::qWaitFor([&] { return refused.state() == QAbstractSocket::UnconnectedState; }, WaitMs));
    Winsock unused;
    EXPECT_EQ(errorNumberOf([&] { unused.Accept(12345); }), Winsock::WrongConnectionState);
}

TEST_F(WinsockTest, APeerThatClosesIsHeardOutAndThenReleased)
{
    ASSERT_TRUE(waitAccepted());
    QString arrived;
    QObject::connect(&accepted, &Winsock::DataArrival, [&] { arrived += accepted.GetData(); });
    QObject::connect(&accepted, &Winsock::Close, [&] { arrived += "|closed"; });
    send("last words");
    peer.disconnectFromHost();
    ASSERT_TRUE(QTest::qWaitFor([&] { return arrived.endsWith("|closed"); }, WaitMs));
    EXPECT_EQ(arrived, "last words|closed");
    EXPECT_FALSE(accepted.isConnected());
    EXPECT_EQ(errorNumberOf([&] { accepted.SendData(QStringLiteral("NA:")); }), Winsock::WrongConnectionState);
    EXPECT_EQ(accepted.RemoteHostIP(), "");
}

// An idle connection is closed at the timeout, and Close tells of it.
TEST(WinsockIdle, AConnectionWithNothingToCarryIsClosed)
{
    Winsock listener, accepted;
    ASSERT_TRUE(listener.listen(QHostAddress::LocalHost));
    accepted.setIdleTimeout(300);
    QObject::connect(&listener, &Winsock::ConnectionRequest, [&](qintptr requestID) { accepted.Accept(requestID); });
    bool closed = false;
    QObject::connect(&accepted, &Winsock::Close, [&] { closed = true; });
    QTcpSocket peer;
    peer.connectToHost(QHostAddress::LocalHost, listener.LocalPort);
    ASSERT_TRUE(QTest::qWaitFor([&] { return accepted.isConnected(); }, WaitMs));
    EXPECT_TRUE(QTest::qWaitFor([&] { return closed && peer.state() == QAbstractSocket::UnconnectedState; }, WaitMs));
}

}  // namespace

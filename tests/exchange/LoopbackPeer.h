#pragma once
// A plain TCP peer on 127.0.0.1 for the exchange tests, playing the other
// program by hand: it connects to a listening port, or listens itself and
// takes the first connection, sends raw bytes and collects what comes back.

#include "exchange/SndQTime.h"
#include "search/SearchHooks.h"

#include <QByteArray>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <utility>

// The search window's hooks the exchange needs: its timer sends the queue.
inline SearchHooks sendQueueHooks()
{
    SearchHooks hooks;
    hooks.SndQTime_Timer = &SndQTime_Timer;
    return hooks;
}

class LoopbackPeer {
public:
    static constexpr int WaitMs = 10000;

    // Connects to a program listening on the port.
    bool connectTo(quint16 port)
    {
        socket_ = std::make_unique<QTcpSocket>();
        watch();
        socket_->connectToHost(QHostAddress::LocalHost, port);
        return socket_->waitForConnected(WaitMs);
    }
    // Listens on a free port, which the program is then told to connect to.
    quint16 listen()
    {
        server_ = std::make_unique<QTcpServer>();
        server_->listen(QHostAddress::LocalHost, 0);
        QObject::connect(server_.get(), &QTcpServer::newConnection, [this] {
            socket_.reset(server_->nextPendingConnection());
            socket_->setParent(nullptr);
            watch();
        });
        return server_->serverPort();
    }
    bool waitForConnection() { return QTest::qWaitFor([this] { return socket_ != nullptr; }, WaitMs); }

    void send(const QByteArray& bytes)
    {
        socket_->write(bytes);
        socket_->flush();
    }
    // Waits until at least `size` bytes have come in since the last take.
    void waitFor(qsizetype size)
    {
        if (!QTest::qWaitFor([&] { return received_.size() >= size; }, WaitMs))
            ADD_FAILURE() << size << " bytes did not come; " << received_.size() << " came";
    }
    // Waits for `size` bytes and takes all that came.
    QByteArray take(qsizetype size)
    {
        waitFor(size);
        return std::exchange(received_, {});
    }
    // Sends a message and takes a reply of the expected length.
    QByteArray ask(const QByteArray& message, qsizetype replySize)
    {
        send(message);
        return take(replySize);
    }
    // What has come in so far, left in place.
    const QByteArray& received() const { return received_; }
    bool closedByPeer() const { return closed_; }
    QTcpSocket& socket() { return *socket_; }

private:
    void watch()
    {
        QObject::connect(socket_.get(), &QTcpSocket::readyRead, [this] { received_ += socket_->readAll(); });
        QObject::connect(socket_.get(), &QTcpSocket::disconnected, [this] { closed_ = true; });
    }

    std::unique_ptr<QTcpServer> server_;
    std::unique_ptr<QTcpSocket> socket_;
    QByteArray received_;
    bool closed_ = false;
};

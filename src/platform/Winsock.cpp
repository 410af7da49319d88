#include "platform/Winsock.h"

#include "platform/TcpListener.h"
#include "runtime/AnsiText.h"
#include "runtime/RuntimeError.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <set>
#include <unistd.h>

namespace platform {

namespace {

// Connection requests announced by a listener and not yet accepted, by their
// system socket, as the system keeps them for any socket to accept.
std::set<qintptr>& openRequests()
{
    static std::set<qintptr> requests;
    return requests;
}

// An IPv4 peer of an IPv6 socket in its dotted form ("::ffff:127.0.0.1" -> "127.0.0.1").
QString dotted(const QHostAddress& address)
{
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    return isV4 ? QHostAddress(v4).toString() : address.toString();
}

[[noreturn]] void raiseNotConnected()
{
    runtime::raise(Winsock::WrongConnectionState,
                   QStringLiteral("Wrong protocol or connection state for the requested transaction or request"));
}

}  // namespace

// Announces each connection request to its socket and closes it when no
// socket took it.
class Winsock::Listener : public TcpListener {
public:
    explicit Listener(Winsock& owner)
        : TcpListener([&owner](qintptr descriptor) { announce(owner, descriptor); }, &owner) {}

private:
    static void announce(Winsock& owner, qintptr descriptor)
    {
        openRequests().insert(descriptor);
        emit owner.ConnectionRequest(descriptor);
        if (openRequests().erase(descriptor))
            ::close(static_cast<int>(descriptor));
    }
};

Winsock::Winsock(QObject* parent) : QObject(parent) {}

// A socket whose DataArrival handler closed the window that owns it (the
// handler pumps messages) is destroyed beneath that handler, while the system
// socket's own code that announced the arrival still runs: the system socket
// is then handed to the handler's frame, which lets it go only once it returns.
Winsock::~Winsock()
{
    if (!socket_ || !orphanedDuringDelivery_)
        return;
    socket_->disconnect(this);
    socket_->setParent(nullptr);
    *orphanedDuringDelivery_ = socket_;
}

bool Winsock::listen(const QHostAddress& address)
{
    close();
    listener_ = new Listener(*this);
    if (!listener_->listen(address, LocalPort)) {
        errorText_ = listener_->errorText();
        delete listener_;
        listener_ = nullptr;
        return false;
    }
    LocalPort = listener_->port();
    return true;
}

void Winsock::pauseAccepting()
{
    if (listener_)
        listener_->pause();
}

void Winsock::resumeAccepting()
{
    if (listener_)
        listener_->resume();
}

void Winsock::connectToHost(const QString& host, quint16 port)
{
    close();
    auto* socket = new QTcpSocket(this);
    adopt(socket);
    connect(socket, &QTcpSocket::connected, this, [this] {
        LocalPort = socket_->localPort();
        emit Connect();
    });
    socket->connectToHost(host, port);
}

void Winsock::Accept(qintptr requestID)
{
    if (!openRequests().erase(requestID))
        raiseNotConnected();
    close();
    waiting_.clear();
    unannounced_ = closePending_ = false;
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(requestID)) {
        ::close(static_cast<int>(requestID));
        delete socket;
        raiseNotConnected();
    }
    adopt(socket);
    LocalPort = socket->localPort();
}

void Winsock::close()
{
    delete listener_;
    listener_ = nullptr;
    if (socket_) {
        socket_->abort();
        releaseSocket();
    }
}

void Winsock::adopt(QTcpSocket* socket)
{
    socket_ = socket;
    socket->setReadBufferSize(ReadBufferBytes);
    connect(socket, &QTcpSocket::readyRead, this, &Winsock::deliverArrival);
    connect(socket, &QTcpSocket::disconnected, this, &Winsock::releaseSocket);
    // Replies have drained: what the peer sent meanwhile can be read again.
    connect(socket, &QTcpSocket::bytesWritten, this, [this] {
        if (idle_)
            idle_->start();
        if (socket_ && socket_->bytesAvailable() > 0 && !backlogged())
            QMetaObject::invokeMethod(this, &Winsock::deliverArrival, Qt::QueuedConnection);
    });
    if (idleTimeoutMs_ > 0) {
        if (!idle_) {
            idle_ = new QTimer(this);
            idle_->setSingleShot(true);
            connect(idle_, &QTimer::timeout, this, [this] {
                if (socket_)
                    socket_->abort();
            });
        }
        idle_->start(idleTimeoutMs_);
    }
}

bool Winsock::isListening() const { return listener_ != nullptr; }

bool Winsock::isConnected() const { return socket_ && socket_->state() == QAbstractSocket::ConnectedState; }

QString Winsock::LocalIP() const
{
    if (listener_)
        return dotted(listener_->address());
    return isConnected() ? dotted(socket_->localAddress()) : QString();
}

QString Winsock::RemoteHostIP() const { return isConnected() ? dotted(socket_->peerAddress()) : QString(); }

QString Winsock::PeekData(qsizetype maxLength) const { return runtime::fromAnsi(waiting_.left(maxLength)); }

QString Winsock::GetData()
{
    const QString text = runtime::fromAnsi(waiting_);
    waiting_.clear();
    return text;
}

void Winsock::SendData(const QString& text) { SendData(runtime::toAnsi(text)); }

void Winsock::SendData(const QByteArray& bytes)
{
    if (!isConnected())
        raiseNotConnected();
    socket_->write(bytes);
    socket_->flush();
}

bool Winsock::backlogged() const { return socket_ && socket_->bytesToWrite() > WriteBacklogBytes; }

bool Winsock::takeIncoming()
{
    if (!socket_ || socket_->bytesAvailable() == 0)
        return false;
    waiting_ += socket_->readAll();
    if (idle_)
        idle_->start();
    return true;
}

void Winsock::deliverArrival()
{
    if (delivering_ || backlogged())
        return;
    if (takeIncoming())
        unannounced_ = true;
    if (!unannounced_) {
        announceClose();
        return;
    }
    unannounced_ = false;
    delivering_ = true;
    const QPointer<Winsock> alive(this);
    QTcpSocket* orphaned = nullptr;
    orphanedDuringDelivery_ = &orphaned;
    emit DataArrival(waiting_.size());
    if (!alive) {
        if (orphaned)
            orphaned->deleteLater();
        return;
    }
    orphanedDuringDelivery_ = nullptr;
    delivering_ = false;
    if (releaseAfterDelivery_)
        releaseSocket();
    // Bytes read while the handler pumped messages raise no signal of their own.
    if (unannounced_ || (socket_ && socket_->bytesAvailable() > 0 && !backlogged()))
        QMetaObject::invokeMethod(this, &Winsock::deliverArrival, Qt::QueuedConnection);
    else
        announceClose();
}

void Winsock::announceClose()
{
    if (!closePending_ || socket_ || unannounced_ || delivering_)
        return;
    closePending_ = false;
    emit Close();
}

// The peer has closed, or this end did: what it sent last is still delivered,
// and the system socket and its buffers go. A socket whose handler is running
// is released once that handler returns.
void Winsock::releaseSocket()
{
    if (delivering_) {
        releaseAfterDelivery_ = true;
        return;
    }
    releaseAfterDelivery_ = false;
    if (!socket_)
        return;
    if (takeIncoming())
        unannounced_ = true;
    if (idle_)
        idle_->stop();
    socket_->disconnect(this);
    socket_->deleteLater();
    socket_ = nullptr;
    closePending_ = true;
    // What came last is delivered first, then Close.
    QMetaObject::invokeMethod(this, &Winsock::deliverArrival, Qt::QueuedConnection);
}

}  // namespace platform

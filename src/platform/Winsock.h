#pragma once
// A TCP socket with the classic socket control's operations and events: one
// object is either a listener, whose connection requests other sockets accept
// by the request's identifier, or one end of a connection.
//
// Arrivals: every batch of bytes read from the connection is one DataArrival
// event, and the bytes wait in the socket until GetData takes them. Bytes that
// come in while a DataArrival handler pumps messages raise one more
// DataArrival once that handler has returned, so no arrival is ever missed,
// and a handler never runs inside another handler of the same socket.
//
// Text is carried as Windows-1252 bytes both ways, so every byte survives a
// round trip through a string.
//
// Memory stays bounded against a peer that sends without end or never reads:
// at most ReadBufferBytes wait unread, and no more is read while over
// WriteBacklogBytes of this socket's own replies wait to go out.
//
// A listener that pauses takes no further request until it resumes: the
// system keeps them waiting in its queue (up to 1024), which costs the program
// no file descriptor.

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <cstdint>

class QTcpSocket;
class QTimer;

namespace platform {

class Winsock : public QObject {
    Q_OBJECT
public:
    // The error a send raises when the socket holds no open connection.
    static constexpr int WrongConnectionState = 40006;
    static constexpr qint64 ReadBufferBytes = 1 << 20;
    static constexpr qint64 WriteBacklogBytes = 1 << 20;

    explicit Winsock(QObject* parent = nullptr);
    ~Winsock() override;

    // The port to listen on; after listen, connect or Accept, the port in use.
    quint16 LocalPort = 0;

    // Listens on `address` and LocalPort (0: any free port). False with the
    // reason in errorText() when the port is taken or the address not ours.
    bool listen(const QHostAddress& address);
    // Starts connecting; Connect follows once the connection stands.
    void connectToHost(const QString& host, quint16 port);
    // Takes over a connection request of a listener (ConnectionRequest's
    // identifier). A request no socket accepts during its ConnectionRequest
    // handlers is refused and closed. Raises WrongConnectionState for an
    // identifier that is no open request.
    void Accept(qintptr requestID);
    // Ends the connection or the listening and releases the system socket.
    void close();
    // A listener: stops taking connection requests, or takes them again.
    void pauseAccepting();
    void resumeAccepting();
    // A connection on which nothing arrives or goes out for this long is
    // closed (0: never); applies to connections made or accepted afterwards.
    void setIdleTimeout(int milliseconds) { idleTimeoutMs_ = milliseconds; }

    bool isListening() const;
    bool isConnected() const;
    QString errorText() const { return errorText_; }

    // Dotted addresses of this end and of the peer; empty while unconnected.
    QString LocalIP() const;
    QString RemoteHostIP() const;

    // Up to maxLength waiting bytes as text, left waiting.
    QString PeekData(qsizetype maxLength) const;
    // Every waiting byte as text, taken.
    QString GetData();
    // Sends the text as bytes, or the bytes as they are. Raises
    // WrongConnectionState when the socket holds no open connection.
    void SendData(const QString& text);
    void SendData(const QByteArray& bytes);

signals:
    void Connect();
    void DataArrival(qint64 bytesTotal);
    void ConnectionRequest(qintptr requestID);
    // The connection has ended (the peer closed, an error, or idle), and all
    // it brought has been delivered.
    void Close();

private:
    class Listener;

    void adopt(QTcpSocket* socket);
    // Moves what the system socket has read into the waiting bytes; false when nothing came.
    bool takeIncoming();
    void deliverArrival();
    void releaseSocket();
    void announceClose();
    bool backlogged() const;

    Listener* listener_ = nullptr;
    QTcpSocket* socket_ = nullptr;
    QByteArray waiting_;
    QString errorText_;
    QTcpSocket** orphanedDuringDelivery_ = nullptr;  // see the destructor
    bool unannounced_ = false;  // waiting bytes no DataArrival has announced yet
    bool delivering_ = false;
    bool releaseAfterDelivery_ = false;
    bool closePending_ = false;  // the connection has ended; Close is yet to come
    int idleTimeoutMs_ = 0;
    QTimer* idle_ = nullptr;
};

}  // namespace platform

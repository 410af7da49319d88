#pragma once
// A small HTTP server on 127.0.0.1 (a free port) for tests: every GET gets the
// reply set up, or the misbehaviour asked for. It answers while the test (or
// the code under test) pumps messages.

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QTcpServer>
#include <utility>

class QTcpSocket;

class HttpTestServer : public QObject {
    Q_OBJECT
public:
    enum class Behaviour {
        Answer,        // status line, headers and the whole body
        NeverAnswer,   // takes the request and sends nothing
        CloseMidBody,  // announces the whole length, sends half the body, closes
    };
    struct Reply {
        int status = 200;
        QList<std::pair<QByteArray, QByteArray>> headers;
        QByteArray body;
        bool announceLength = true;  // a "Content-Length:" header for the body
        Behaviour behaviour = Behaviour::Answer;
    };

    HttpTestServer();

    // "127.0.0.1:port", the form WebServer takes.
    QString host() const;
    void setReply(Reply reply) { setReplies({std::move(reply)}); }
    // The n-th request gets the n-th reply, and every later one the last.
    void setReplies(QList<Reply> replies) { replies_ = std::move(replies); }
    // A request for `path` ("/a.zip") is answered "302 Found" with `location`
    // (a path or a whole address) instead, and takes no reply of the list.
    void setRedirect(const QByteArray& path, const QByteArray& location) { redirects_.insert(path, location); }
    // A 200 answer with the body and its "Last-Modified:" time (UTC).
    static Reply fileReply(const QByteArray& body, const QDateTime& lastModified);
    // "Mon, 07 Dec 2026 10:30:00 GMT".
    static QByteArray httpDate(const QDateTime& utc);

    // Request lines received ("GET /Brisca.zip HTTP/1.1"), in order.
    const QStringList& requests() const { return requests_; }

private:
    void take(QTcpSocket* socket);
    void answer(QTcpSocket* socket);

    QTcpServer server_;
    QList<Reply> replies_{Reply{}};
    QHash<QByteArray, QByteArray> redirects_;
    int repliesGiven_ = 0;
    QStringList requests_;
};

#pragma once
// The Internet transfer control: one HTTP request at a time for Document on
// RemoteHost (port 80, or the port of a host written as "host:port"). Execute
// starts it and returns at once; the reply arrives while the caller pumps
// messages. StillExecuting stays true until the response is complete or the
// request has failed; the headers can be read as soon as they have arrived,
// and the body part by part with GetChunk while the rest still arrives.
//
// A request that receives nothing for RequestTimeout seconds fails, so no
// server can keep a caller waiting for ever. The body comes as the server sent
// it (no compression is asked for), so its length is the "Content-Length:".
//
// A redirect to the same scheme is followed, at most MaxRedirects times; the
// headers and the status are those of the final answer. At most
// ReadBufferBytes of the body wait unread: the rest stays with the server
// until the caller takes some, so memory does not grow with the download.

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QNetworkAccessManager;
class QNetworkReply;
class QUrl;

namespace platform {

class InternetTransfer : public QObject {
    Q_OBJECT
public:
    explicit InternetTransfer(QObject* parent = nullptr);
    ~InternetTransfer() override;

    QString Document;    // the file asked for, without a leading "/"
    QString RemoteHost;  // "host" or "host:port"
    int RequestTimeout = 30;  // seconds without any data before a request fails
    static constexpr int MaxRedirects = 5;
    static constexpr qint64 ReadBufferBytes = 1 << 20;

    // "http://" & RemoteHost & "/" & Document.
    QString URL() const;

    // Starts a request for Document on RemoteHost, abandoning one still running.
    void Execute(const QString& operation = QStringLiteral("GET"));
    bool StillExecuting() const;
    // The value of a response header named with its colon ("Last-Modified:"),
    // any letter case; empty when the response lacks it or none has arrived.
    QString GetHeader(const QString& name) const;
    // Abandons the current request; what it had not yet given is dropped.
    void Cancel();
    // The next part of the body, at most `size` bytes of what has arrived so
    // far, into the caller's buffer: the number of bytes given, 0 once the body
    // is used up (or while nothing new has arrived).
    qint64 GetChunk(char* data, qint64 size);

    // True once the response's status line and headers have arrived.
    bool HeadersReceived() const { return headersReceived_; }
    // The HTTP status of the response (0 before it has arrived).
    int ResponseCode() const { return responseCode_; }
    bool ResponseSucceeded() const { return responseCode_ >= 200 && responseCode_ <= 299; }
    // Body bytes that have arrived and GetChunk has not given yet.
    qint64 BytesAvailable() const;
    // Why the request failed; empty while it runs and after a success.
    QString ErrorText() const { return errorText_; }

signals:
    // Something arrived or the request ended.
    void StateChanged();

private:
    void fail(const QString& reason);
    void takeHeaders();
    void followRedirect(const QUrl& target);
    void finish();
    void dropReply();

    QNetworkAccessManager* manager_ = nullptr;
    QPointer<QNetworkReply> reply_;
    QTimer silence_;
    bool executing_ = false;
    bool headersReceived_ = false;
    int responseCode_ = 0;
    QHash<QByteArray, QByteArray> headers_;  // names lower-cased, without the colon
    QString errorText_;
};

}  // namespace platform

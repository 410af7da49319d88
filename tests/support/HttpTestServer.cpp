#include "support/HttpTestServer.h"

#include <QLocale>
#include <QTcpSocket>
#include <QTimeZone>

HttpTestServer::HttpTestServer()
{
    server_.listen(QHostAddress::LocalHost, 0);
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection())
            take(socket);
    });
}

QString HttpTestServer::host() const
{
    return QStringLiteral("127.0.0.1:%1").arg(server_.serverPort());
}

HttpTestServer::Reply HttpTestServer::fileReply(const QByteArray& body, const QDateTime& lastModified)
{
    Reply reply;
    reply.body = body;
    reply.headers = {{"Last-Modified", httpDate(lastModified)}, {"Content-Type", "application/zip"}};
    return reply;
}

QByteArray HttpTestServer::httpDate(const QDateTime& utc)
{
    return QLocale::c().toString(utc.toUTC(), "ddd, dd MMM yyyy hh:mm:ss 'GMT'").toLatin1();
}

void HttpTestServer::take(QTcpSocket* socket)
{
    socket->setParent(this);
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
        if (!socket->property("answered").toBool() && socket->peek(1 << 16).contains("\r\n\r\n"))
            answer(socket);
    });
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
}

void HttpTestServer::answer(QTcpSocket* socket)
{
    socket->setProperty("answered", true);
    const QByteArray requestLine = socket->readLine().trimmed();
    requests_ << QString::fromLatin1(requestLine);
    socket->readAll();
    const QByteArray path = requestLine.split(' ').value(1);
    if (redirects_.contains(path)) {
        socket->write("HTTP/1.1 302 Found\r\nConnection: close\r\nContent-Length: 0\r\nLocation: " + redirects_[path]
                      + "\r\n\r\n");
        socket->disconnectFromHost();
        return;
    }
    ++repliesGiven_;
    const Reply& reply = replies_[std::min<qsizetype>(repliesGiven_, replies_.size()) - 1];
    if (reply.behaviour == Behaviour::NeverAnswer)
        return;
    QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + " Status\r\nConnection: close\r\n";
    for (const auto& [name, value] : reply.headers)
        head += name + ": " + value + "\r\n";
    if (reply.announceLength)
        head += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
    socket->write(head + "\r\n");
    socket->write(reply.behaviour == Behaviour::CloseMidBody ? reply.body.left(reply.body.size() / 2)
                                                                : reply.body);
    socket->disconnectFromHost();
}

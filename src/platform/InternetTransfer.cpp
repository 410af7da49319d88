#include "platform/InternetTransfer.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>
#include <algorithm>

namespace platform {

namespace {

bool isRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

}  // namespace

InternetTransfer::InternetTransfer(QObject* parent)
    : QObject(parent), manager_(new QNetworkAccessManager(this))
{
    silence_.setSingleShot(true);
    connect(&silence_, &QTimer::timeout, this, [this] {
        fail(QStringLiteral("nothing arrived for %1 seconds").arg(RequestTimeout));
    });
}

InternetTransfer::~InternetTransfer() { dropReply(); }

QString InternetTransfer::URL() const
{
    return QStringLiteral("http://") + RemoteHost + u'/' + Document;
}

void InternetTransfer::Execute(const QString& operation)
{
    dropReply();
    headersReceived_ = false;
    responseCode_ = 0;
    headers_.clear();
    errorText_.clear();
    executing_ = true;

    const QUrl url(URL(), QUrl::TolerantMode);
    if (!url.isValid() || url.host().isEmpty()) {
        fail(QStringLiteral("%1 is no address of an update server").arg(URL()));
        return;
    }
    QNetworkRequest request(url);
    request.setRawHeader("Accept-Encoding", "identity");
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setMaximumRedirectsAllowed(MaxRedirects);
    reply_ = manager_->sendCustomRequest(request, operation.toLatin1());
    reply_->setReadBufferSize(ReadBufferBytes);
    const auto heardFrom = [this] {
        silence_.start(RequestTimeout * 1000);
        emit StateChanged();
    };
    connect(reply_, &QNetworkReply::metaDataChanged, this, [this, heardFrom] {
        takeHeaders();
        heardFrom();
    });
    connect(reply_, &QNetworkReply::readyRead, this, heardFrom);
    connect(reply_, &QNetworkReply::redirected, this, &InternetTransfer::followRedirect);
    connect(reply_, &QNetworkReply::finished, this, &InternetTransfer::finish);
    silence_.start(RequestTimeout * 1000);
}

bool InternetTransfer::StillExecuting() const { return executing_; }

QString InternetTransfer::GetHeader(const QString& name) const
{
    QByteArray key = name.toLatin1().toLower();
    if (key.endsWith(':'))
        key.chop(1);
    return QString::fromLatin1(headers_.value(key));
}

void InternetTransfer::Cancel()
{
    dropReply();
    executing_ = false;
}

qint64 InternetTransfer::GetChunk(char* data, qint64 size)
{
    return reply_ ? std::max<qint64>(0, reply_->read(data, size)) : 0;
}

qint64 InternetTransfer::BytesAvailable() const { return reply_ ? reply_->bytesAvailable() : 0; }

void InternetTransfer::fail(const QString& reason)
{
    dropReply();
    executing_ = false;
    errorText_ = reason;
    emit StateChanged();
}

// A redirect to another scheme is refused, and the request fails.
void InternetTransfer::followRedirect(const QUrl& target)
{
    if (target.scheme() == reply_->url().scheme())
        emit reply_->redirectAllowed();
    else
        fail(QStringLiteral("the server sent the request on to ") + target.toString());
}

void InternetTransfer::takeHeaders()
{
    const QVariant status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid())
        return;
    // The answer of a redirect about to be followed is not the final one.
    if (reply_->isRunning() && isRedirect(status.toInt()) && reply_->hasRawHeader("Location"))
        return;
    responseCode_ = status.toInt();
    headersReceived_ = true;
    headers_.clear();
    for (const auto& [name, value] : reply_->rawHeaderPairs())
        headers_.insert(name.toLower(), value);
}

void InternetTransfer::finish()
{
    silence_.stop();
    if (!headersReceived_)
        takeHeaders();
    if (reply_->error() != QNetworkReply::NoError)
        errorText_ = reply_->errorString();
    executing_ = false;
    emit StateChanged();
}

void InternetTransfer::dropReply()
{
    silence_.stop();
    if (!reply_)
        return;
    reply_->disconnect(this);
    reply_->abort();
    reply_->deleteLater();
    reply_ = nullptr;
}

}  // namespace platform

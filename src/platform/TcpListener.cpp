#include "platform/TcpListener.h"

#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {

namespace {

// After the system refused a connection for want of descriptors, accepting
// resumes after this pause, once some may have closed.
constexpr int RefusedRetryMs = 100;

// The socket address of a host address and port; IPv6 (dual-stack for "any").
socklen_t socketAddress(const QHostAddress& address, quint16 port, sockaddr_storage& storage)
{
    std::memset(&storage, 0, sizeof storage);
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    if (isV4 && address.protocol() == QAbstractSocket::IPv4Protocol) {
        auto& in = reinterpret_cast<sockaddr_in&>(storage);
        in.sin_family = AF_INET;
        in.sin_port = htons(port);
        in.sin_addr.s_addr = htonl(v4);
        return sizeof in;
    }
    auto& in6 = reinterpret_cast<sockaddr_in6&>(storage);
    in6.sin6_family = AF_INET6;
    in6.sin6_port = htons(port);
    if (address != QHostAddress::Any && address != QHostAddress::AnyIPv6) {
        const Q_IPV6ADDR bytes = address.toIPv6Address();
        std::memcpy(&in6.sin6_addr, bytes.c, sizeof bytes.c);
    }
    return sizeof in6;
}

bool outOfDescriptors(int error) { return error == EMFILE || error == ENFILE || error == ENOBUFS || error == ENOMEM; }

}  // namespace

TcpListener::TcpListener(std::function<void(qintptr)> take, QObject* parent)
    : QObject(parent), take_(std::move(take))
{
}

TcpListener::~TcpListener()
{
    if (descriptor_ >= 0)
        ::close(descriptor_);
}

bool TcpListener::listen(const QHostAddress& address, quint16 port)
{
    sockaddr_storage storage{};
    const socklen_t length = socketAddress(address, port, storage);
    descriptor_ = ::socket(storage.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const int on = 1, off = 0;
    const bool listening = descriptor_ >= 0 && ::setsockopt(descriptor_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) == 0
                           && (storage.ss_family != AF_INET6
                               || ::setsockopt(descriptor_, IPPROTO_IPV6, IPV6_V6ONLY, &off, sizeof off) == 0)
                           && ::bind(descriptor_, reinterpret_cast<sockaddr*>(&storage), length) == 0
                           && ::listen(descriptor_, Backlog) == 0;
    if (!listening) {
        errorText_ = QString::fromLocal8Bit(std::strerror(errno));
        if (descriptor_ >= 0)
            ::close(descriptor_);
        descriptor_ = -1;
        return false;
    }
    notifier_ = new QSocketNotifier(descriptor_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TcpListener::acceptWaiting);
    return true;
}

quint16 TcpListener::port() const
{
    sockaddr_storage storage{};
    socklen_t length = sizeof storage;
    if (::getsockname(descriptor_, reinterpret_cast<sockaddr*>(&storage), &length) != 0)
        return 0;
    return ntohs(storage.ss_family == AF_INET ? reinterpret_cast<sockaddr_in&>(storage).sin_port
                                              : reinterpret_cast<sockaddr_in6&>(storage).sin6_port);
}

QHostAddress TcpListener::address() const
{
    sockaddr_storage storage{};
    socklen_t length = sizeof storage;
    if (::getsockname(descriptor_, reinterpret_cast<sockaddr*>(&storage), &length) != 0)
        return {};
    return QHostAddress(reinterpret_cast<sockaddr*>(&storage));
}

void TcpListener::pause()
{
    paused_ = true;
    if (notifier_)
        notifier_->setEnabled(false);
}

void TcpListener::resume()
{
    paused_ = false;
    if (notifier_ && !refused_)
        notifier_->setEnabled(true);
}

// Takes the waiting requests one by one until none is left, or the callback
// has paused the listener or closed it.
void TcpListener::acceptWaiting()
{
    const QPointer<TcpListener> alive(this);
    while (alive && !paused_) {
        const int connection = ::accept4(descriptor_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (connection >= 0) {
            take_(connection);
            continue;
        }
        if (outOfDescriptors(errno)) {
            refused_ = true;
            notifier_->setEnabled(false);
            QTimer::singleShot(RefusedRetryMs, this, [this] {
                refused_ = false;
                if (!paused_)
                    notifier_->setEnabled(true);
            });
        }
        return;
    }
}

}  // namespace platform

#include "exchange/PeerExchange.h"

#include "exchange/PeerMessages.h"
#include "exchange/SndQTime.h"
#include "platform/FileSystem.h"
#include "platform/Pump.h"
#include "platform/Services.h"
#include "platform/Winsock.h"
#include "runtime/RuntimeError.h"
#include "search/ListSearch.h"
#include "search/SearchForm.h"

#include <QDir>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <optional>
#include <sys/resource.h>

using platform::Winsock;

namespace {

constexpr quint16 ListenerPort = 6060;

// The descriptors the program has open now.
long openDescriptors()
{
    const QDir descriptors(QStringLiteral("/proc/self/fd"));
    return static_cast<long>(descriptors.entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size());
}
constexpr qsizetype CommandPeekLength = 64;

// Sends text or bytes; a peer that has gone is not answered.
template <typename Message>
void answer(Winsock& element, const Message& message)
{
    try {
        element.SendData(message);
    } catch (const runtime::RuntimeError&) {
    }
}

}  // namespace

PeerExchange::PeerExchange(SearchForm& form) : QObject(&form), form_(form)
{
    IPClient = new Winsock(this);
    connect(IPClient, &Winsock::Connect, this, &PeerExchange::IPClient_Connect);
    connect(IPClient, &Winsock::DataArrival, this, &PeerExchange::IPClient_DataArrival);
    auto* listener = new Winsock(this);
    listener->LocalPort = ListenerPort;
    connect(listener, &Winsock::ConnectionRequest, this,
            [this](qintptr requestID) { IPServ_ConnectionRequest(0, requestID); });
    IPServ.push_back(listener);
}

PeerExchange& peerExchange(SearchForm& form)
{
    if (auto* existing = form.findChild<PeerExchange*>(QString(), Qt::FindDirectChildrenOnly))
        return *existing;
    return *new PeerExchange(form);
}

// Client --------------------------------------------------------------------

void PeerExchange::IPClient_Connect()
{
    queueMessage(QStringLiteral("Connecting from: ") + IPClient->LocalIP());
    queueMessage(QStringLiteral("I AM: ") + ownIdentity());
    queueMessage(QStringLiteral("Req List Info:"));
    enableTimer(*form_.SndQTime);
}

void PeerExchange::IPClient_DataArrival()
{
    const QString command = messageCommand(IPClient->PeekData(CommandPeekLength));
    answerLastSent();
    const QString data = IPClient->GetData();
    if (command == u"I AM") {
        ListSearch.PeerIdent = messageArgument(data);
        ListSearch.PeerAddress = IPClient->RemoteHostIP();
    } else if (command == u"Lists") {
        for (const QString& name : listedNames(data))
            queueMessage(QStringLiteral("GetList: ") + name);
    } else if (command == u"List") {
        ListSearch.PeerListFile = messageArgument(data);
    }
    if (messagesWaiting())
        enableTimer(*form_.SndQTime);
}

// Server --------------------------------------------------------------------

std::int32_t connectionCap(unsigned long long fileLimit, long openNow)
{
    if (fileLimit == RLIM_INFINITY)
        return PeerExchange::MaxOpen;
    const long long spare = static_cast<long long>(fileLimit) - openNow - PeerExchange::ReservedDescriptors;
    return static_cast<std::int32_t>(std::clamp<long long>(spare, 0, PeerExchange::MaxOpen));
}

void PeerExchange::IPServ_ConnectionRequest(std::int32_t Index, qintptr requestID)
{
    if (Index != 0)
        return;
    if (!cap_) {
        rlimit limit{};
        getrlimit(RLIMIT_NOFILE, &limit);
        cap_ = connectionCap(limit.rlim_cur, openDescriptors());
    }
    const std::int32_t index = open_ < *cap_ ? freeElement() : 0;
    if (index == 0)
        return;
    Winsock& element = *IPServ[static_cast<std::size_t>(index)];
    element.LocalPort = 0;
    element.setIdleTimeout(IdleTimeoutMs);
    try {
        element.Accept(requestID);
    } catch (const runtime::RuntimeError&) {
        // The request was withdrawn before it was taken: the element is free again.
        released_.push_back(index);
        return;
    }
    if (++open_ >= *cap_)
        IPServ[0]->pauseAccepting();
}

std::int32_t PeerExchange::freeElement()
{
    if (!released_.empty()) {
        const std::int32_t index = released_.back();
        released_.pop_back();
        return index;
    }
    if (MaxConnect >= MaxElements)
        return 0;
    const std::int32_t index = ++MaxConnect;
    auto* element = new Winsock(this);
    IPServ.push_back(element);
    connect(element, &Winsock::DataArrival, this, [this, index] { IPServ_DataArrival(index); });
    connect(element, &Winsock::Close, this, [this, index] { IPServ_Close(index); });
    return index;
}

void PeerExchange::IPServ_Close(std::int32_t Index)
{
    released_.push_back(Index);
    --open_;
    IPServ[0]->resumeAccepting();
}

void PeerExchange::IPServ_DataArrival(std::int32_t Index)
{
    Winsock& element = *IPServ[static_cast<std::size_t>(Index)];
    const QString data = element.GetData();
    const QString command = messageCommand(data);
    if (command == u"Req List Info")
        answer(element, listsReply());
    else if (command == u"Connecting from")
        answer(element, QStringLiteral("OK:"));
    else if (command == u"I AM")
        answer(element, QStringLiteral("I AM: ") + ownIdentity());
    else if (command == u"GetList")
        sendArchive(element, messageArgument(data));
    else
        answer(element, QStringLiteral("NA:"));
}


std::optional<QByteArray> PeerExchange::readArchive(const QString& name)
{
    try {
        const std::optional<QString> archive = locationArchive(name);
        return archive ? archives_.read(platform::fileSystem().hostPath(*archive)) : std::nullopt;
    } catch (const runtime::RuntimeError&) {
        return std::nullopt;
    }
}

// The archive is read whole before anything is sent, so a name with no
// archive, or one that cannot be read, is answered "NA:" alone.
void PeerExchange::sendArchive(Winsock& element, const QString& name)
{
    const std::optional<QByteArray> bytes = readArchive(name);
    if (!bytes) {
        answer(element, QStringLiteral("NA:"));
        return;
    }
    answer(element, QStringLiteral("List: ") + name + QStringLiteral(".zip"));
    const QPointer<Winsock> alive(&element);
    platform::doEvents();
    if (alive)
        answer(*alive, *bytes);
}

#pragma once
// The peer exchange's two ends on the search window. The client socket
// IPClient asks another running copy for its identity, the names of its
// locations and each location's archive, queueing its requests in the send
// queue (exchange/SndQTime.h); it keeps what it learns in PeerIdent,
// PeerAddress and PeerListFile and stores no archive. The server socket array
// IPServ listens on element 0 and carries each accepted connection on a new
// element, which answers every message at once: one send, two for an archive.
// Messages are those of exchange/PeerMessages.h.
//
// No handler lets a runtime error out: a send that fails (the peer has gone)
// is dropped.
//
// No crowd of peers can take what the program itself needs: at most MaxOpen
// connections are served at once (fewer when the open-file limit is low, so
// that ReservedDescriptors always stay free), a further request waits in the
// system's queue until one ends, and a connection idle for IdleTimeoutMs is
// closed. An element whose connection has ended takes the next one, so the
// indexes of a long run are never used up.

#include "exchange/ArchiveReader.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

class SearchForm;

namespace platform {
class Winsock;
}

class PeerExchange : public QObject {
    Q_OBJECT
public:
    // Element indexes are 16-bit: a request beyond them is refused and closed.
    static constexpr std::int32_t MaxElements = 32767;
    static constexpr std::int32_t MaxOpen = 256;
    static constexpr long ReservedDescriptors = 256;
    int IdleTimeoutMs = 60 * 1000;

    explicit PeerExchange(SearchForm& form);

    platform::Winsock* IPClient = nullptr;
    // Element 0 is the listener, configured for port 6060; 1 to MaxConnect the connections.
    std::vector<platform::Winsock*> IPServ;
    std::int32_t MaxConnect = 0;

    void IPClient_Connect();
    void IPClient_DataArrival();
    void IPServ_ConnectionRequest(std::int32_t Index, qintptr requestID);
    void IPServ_DataArrival(std::int32_t Index);
    void IPServ_Close(std::int32_t Index);

    // Connections open now.
    std::int32_t openConnections() const { return open_; }

private:
    // An element free for a new connection: a released one, else a new one;
    // 0 when every index is taken.
    std::int32_t freeElement();
    // The archive of the location a GetList names, nullopt for none or one that cannot be read.
    std::optional<QByteArray> readArchive(const QString& name);
    void sendArchive(platform::Winsock& element, const QString& name);

    SearchForm& form_;
    ArchiveReader archives_;
    std::vector<std::int32_t> released_;  // elements whose connection has ended
    std::int32_t open_ = 0;
    std::optional<std::int32_t> cap_;  // fixed at the first request
};

// How many connections may be open at once under an open-file limit (soft;
// RLIM_INFINITY for none) with `openNow` descriptors in use.
std::int32_t connectionCap(unsigned long long fileLimit, long openNow);

// The search window's exchange, made on first use; nothing listens or
// connects until StartPeerExchange.
PeerExchange& peerExchange(SearchForm& form);

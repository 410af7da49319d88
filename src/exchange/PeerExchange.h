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
// is dropped. An element whose peer has closed releases its system socket but
// keeps its index, as indexes are never reused.

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

    explicit PeerExchange(SearchForm& form);

    platform::Winsock* IPClient = nullptr;
    // Element 0 is the listener, configured for port 6060; 1 to MaxConnect the connections.
    std::vector<platform::Winsock*> IPServ;
    std::int32_t MaxConnect = 0;

    void IPClient_Connect();
    void IPClient_DataArrival();
    void IPServ_ConnectionRequest(std::int32_t Index, qintptr requestID);
    void IPServ_DataArrival(std::int32_t Index);

private:
    // The archive of the location a GetList names, nullopt for none or one that cannot be read.
    std::optional<QByteArray> readArchive(const QString& name);
    void sendArchive(platform::Winsock& element, const QString& name);

    SearchForm& form_;
    ArchiveReader archives_;
};

// The search window's exchange, made on first use; nothing listens or
// connects until StartPeerExchange.
PeerExchange& peerExchange(SearchForm& form);

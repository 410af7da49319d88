#include "exchange/PeerStart.h"

#include "exchange/PeerExchange.h"
#include "platform/Services.h"
#include "platform/SettingsStore.h"
#include "platform/Winsock.h"
#include "runtime/Strings.h"
#include "search/ListSearch.h"

#include <QHostAddress>
#include <optional>

namespace {

const QString DefaultPort = QStringLiteral("6060");

QString peerSetting(const QString& key, const QString& defaultValue = {})
{
    return runtime::trimBlanks(platform::settingsStore().get(SettingsApp, PeersSection, key, defaultValue));
}

// A port number 1 to 65535.
std::optional<quint16> portOf(const QString& text)
{
    bool ok = false;
    const uint port = text.toUInt(&ok);
    if (!ok || port == 0 || port > 65535)
        return std::nullopt;
    return static_cast<quint16>(port);
}

void startServer(platform::Winsock& listener)
{
    const QHostAddress address(peerSetting("ListenAddress", "127.0.0.1"));
    const std::optional<quint16> port = portOf(peerSetting("ListenPort", DefaultPort));
    if (address.isNull() || !port)
        return;
    listener.LocalPort = *port;
    listener.listen(address);
}

void startClient(platform::Winsock& client)
{
    const QString host = peerSetting("PeerHost");
    const QString portText = peerSetting("PeerPort");
    const std::optional<quint16> port = portOf(portText.isEmpty() ? DefaultPort : portText);
    if (host.isEmpty() || !port)
        return;
    client.connectToHost(host, *port);
}

}  // namespace

void StartPeerExchange(SearchForm& form)
{
    PeerExchange& exchange = peerExchange(form);
    startServer(*exchange.IPServ[0]);
    startClient(*exchange.IPClient);
}

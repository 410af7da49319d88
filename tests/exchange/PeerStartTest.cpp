// What the settings make of the exchange at start: where the server listens,
// whether it listens at all, and that a taken port or a bad value only leaves
// that end out.

#include "exchange/LoopbackPeer.h"
#include "exchange/PeerExchange.h"
#include "exchange/PeerStart.h"
#include "platform/Winsock.h"
#include "search/ListSearch.h"
#include "search/SearchForm.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <optional>
#include <ostream>

namespace {

struct StartCase {
    const char* name;
    std::optional<QString> address;  // nullopt: the key is missing
    QString port;                    // "free": a port no one uses, "taken": one in use
    QString listensOn;               // empty: the server does not listen
};

void PrintTo(const StartCase& c, std::ostream* os) { *os << c.name; }

class PeerStartTest : public ::testing::TestWithParam<StartCase> {};

TEST_P(PeerStartTest, ListensAsTheSettingsSay)
{
    const StartCase& c = GetParam();
    TestEnvironment env;
    QTcpServer taken;
    taken.listen(QHostAddress::LocalHost, 0);
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 freePort = probe.serverPort();
    probe.close();
    const QString port = c.port == "taken" ? QString::number(taken.serverPort())
                         : c.port == "free" ? QString::number(freePort)
                                            : c.port;
    if (c.address)
        env.settings().save(SettingsApp, PeersSection, "ListenAddress", *c.address);
    env.settings().save(SettingsApp, PeersSection, "ListenPort", port);
    SearchForm form{QString(), sendQueueHooks()};

    StartPeerExchange(form);

    const platform::Winsock& listener = *peerExchange(form).IPServ[0];
    EXPECT_EQ(listener.isListening() ? listener.LocalIP() : QString(), c.listensOn);
    EXPECT_FALSE(peerExchange(form).IPClient->isConnected());  // no peer named
}

INSTANTIATE_TEST_SUITE_P(Settings, PeerStartTest,
                         ::testing::Values(StartCase{"LoopbackByDefault", std::nullopt, "free", "127.0.0.1"},
                                           StartCase{"AddressWritten", QString("127.0.0.1"), "free", "127.0.0.1"},
                                           StartCase{"EmptyAddress", QString(""), "free", ""},
                                           StartCase{"NoAddress", QString("my machine"), "free", ""},
                                           StartCase{"PortTaken", std::nullopt, "taken", ""},
                                           StartCase{"PortNoNumber", std::nullopt, "60a", ""},
                                           StartCase{"PortBeyondRange", std::nullopt, "65536", ""}),
                         [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

}  // namespace

#pragma once
// Starting the peer exchange at the end of a normal start, from the settings
// store's section "Peers" (application "Kest Velmora"):
// - ListenAddress: the IP address the server listens on, 127.0.0.1 when the
//   key is missing; an empty value keeps the server from listening;
// - ListenPort: its port, 6060 when missing;
// - PeerHost: the copy the client connects to (a name or an address); none
//   when empty, as it is by default;
// - PeerPort: that copy's port, 6060 when missing or empty.
// A port that is taken or a value that names no address or port leaves the
// program running without that end.

class SearchForm;

inline constexpr char PeersSection[] = "Peers";

void StartPeerExchange(SearchForm& form);

#pragma once
// The texts of the peer exchange. Each message is one send with no length and
// no terminator: a command, a colon, one blank and an argument ("GetList: Art"),
// sent as it is, with no quoting. The replies:
// - "OK:" to "Connecting from: " and an address;
// - "I AM: " & nickname & " " & first-run date as a number, to the same from the client;
// - "Lists:" & CR LF, then each location's description and CR LF, to "Req List Info:";
// - "List: " & name & ".zip", then the archive's bytes as a second send, to "GetList: " & name;
// - "NA:" to anything else.

#include <QString>
#include <QStringList>
#include <optional>

// The text before the first colon; empty when there is none.
QString messageCommand(const QString& message);
// The text after the first colon and the character after it (the blank every
// message has there).
QString messageArgument(const QString& message);

// This program's identity: NickName, a blank, JoinDate as a number ("Kim 39793.5").
QString ownIdentity();
// The "Lists:" reply: every location's description as stored, each with CR LF.
QString listsReply();
// The names of a "Lists:" reply in order: each piece after "Lists:" and its
// CR LF that ends with CR LF. A last piece without one is not taken.
QStringList listedNames(const QString& reply);

// The archive of the first location described exactly as `name` whose archive
// exists in the data folder (LocalFolder & the description without blanks at
// its ends & ".zip"), as a Windows path; nullopt when there is none.
std::optional<QString> locationArchive(const QString& name);

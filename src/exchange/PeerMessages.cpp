#include "exchange/PeerMessages.h"

#include "platform/FileSystem.h"
#include "platform/Services.h"
#include "runtime/Numbers.h"
#include "runtime/RuntimeError.h"
#include "runtime/Strings.h"
#include "search/ListSearch.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString LineEnd = QStringLiteral("\r\n");

// True when the file lies directly in the data folder. A description edited
// into locations.txt by hand may hold "\" or "..", which the locations dialog
// refuses; no peer is sent a file from elsewhere through it.
bool inDataFolder(const QString& archive)
{
    const platform::FileSystem& files = platform::fileSystem();
    const QString folder = QDir::cleanPath(files.hostPath(ListSearch.LocalFolder));
    return QDir::cleanPath(QFileInfo(files.hostPath(archive)).absolutePath()) == folder;
}

}  // namespace

QString messageCommand(const QString& message)
{
    const qsizetype colon = message.indexOf(u':');
    return colon < 0 ? QString() : message.left(colon);
}

QString messageArgument(const QString& message)
{
    const qsizetype colon = message.indexOf(u':');
    return colon < 0 ? QString() : message.mid(colon + 2);
}

QString ownIdentity() { return ListSearch.NickName + u' ' + runtime::numberText(ListSearch.JoinDate); }

QString listsReply()
{
    QString reply = QStringLiteral("Lists:") + LineEnd;
    for (std::int32_t i = 1; i <= ListSearch.LocCount; ++i)
        reply += ListSearch.Locations[i][1] + LineEnd;
    return reply;
}

QStringList listedNames(const QString& reply)
{
    QString rest = reply.mid(reply.indexOf(u':') + 1);
    if (rest.startsWith(LineEnd))
        rest.remove(0, LineEnd.size());
    QStringList names = rest.split(LineEnd);
    names.removeLast();  // the piece after the last CR LF, empty when the reply ends with one
    return names;
}

std::optional<QString> locationArchive(const QString& name)
{
    for (std::int32_t i = 1; i <= ListSearch.LocCount; ++i) {
        if (ListSearch.Locations[i][1] != name)
            continue;
        const QString archive = ListSearch.LocalFolder + runtime::trimBlanks(name) + QStringLiteral(".zip");
        try {
            if (platform::fileSystem().fileExists(archive) && inDataFolder(archive))
                return archive;
        } catch (const runtime::RuntimeError&) {
            // A data folder on a drive that is not ready holds no archive.
        }
    }
    return std::nullopt;
}

#include "search/HitActions.h"

#include "platform/FileSystem.h"
#include "platform/Interaction.h"
#include "platform/Services.h"
#include "platform/Shell.h"
#include "runtime/RuntimeError.h"
#include "search/ListSearch.h"

#include <algorithm>

namespace {

const QString CrLf = QStringLiteral("\r\n");

// The classic Mid(text, start): start counts from 1; below 1 is error 5.
QString midFrom(const QString& text, qsizetype start)
{
    if (start < 1)
        runtime::raise(runtime::err::InvalidProcedureCall);
    return text.mid(start - 1);
}

// The first ordinary file of the listed folder whose name starts with the
// listed name, or "". The listing may have written "?" for characters of the
// folder's name, so the folder is taken as it really is: found sets it.
QString firstMatch(const QString& listedFolder, const QString& listedName, QString& found)
{
    found = platform::fileSystem().folderMatching(listedFolder);
    const QStringList names = platform::fileSystem().dir(found + listedName + u'*', platform::attr::Normal);
    return names.isEmpty() ? QString() : names.first();
}

QString noDiscMessage(const QString& expectedAt)
{
    return "Could not find the requested file. " + CrLf + CrLf +
           "If the file is on a CD make sure that the correct CD is in the drive." + CrLf + CrLf +
           "The file was expected at: " + expectedAt + CrLf + CrLf +
           "If you want to select a diferent drive letter for files on CD" +
           " pick a Select CD Drive on the File menu.";
}

// The folder of the first location described exactly as the volume, or nullopt.
std::optional<QString> locationFolder(const HitFile& hit)
{
    for (int i = 1; i <= std::min(ListSearch.LocCount, MaxLocations); ++i) {
        if (ListSearch.Locations[i][1] == hit.volume) {
            const QString& path = ListSearch.Locations[i][2];
            return path + midFrom(hit.folder, path.size() - 1);
        }
    }
    return std::nullopt;
}

}  // namespace

QString ResolveHitPath(const std::optional<HitFile>& row, QString& folder)
{
    QString searched;  // the folder of the search in hand, for the message
    try {
        if (!row)
            runtime::raise(runtime::err::ObjectVariableNotSet);
        if (const std::optional<QString> located = locationFolder(*row)) {
            searched = *located;
            QString real;
            const QString name = firstMatch(searched, row->name, real);
            if (!name.isEmpty()) {
                folder = real;
                return name;
            }
            folder.clear();
        }
        searched = ListSearch.OffLineDrive + row->folder;
        QString real;
        const QString name = firstMatch(searched, row->name, real);
        if (!name.isEmpty())
            folder = real;
        return name;
    } catch (const runtime::RuntimeError& error) {
        folder.clear();
        if (error.number() == runtime::err::BadFileNameOrNumber)
            platform::interaction().msgBox(noDiscMessage(searched + row->name));
        else if (error.number() != runtime::err::ObjectVariableNotSet)
            platform::interaction().msgBox("Launch Error: " + QString::number(error.number()) + " " +
                                           error.description());
        return {};
    }
}

// The desktop's programs take no owner window: the handle is accepted as the
// callers pass it and goes no further.
int ShellOpenFile(const QString& folder, const QString& name, long long /*ownerWindow*/)
{
    return platform::shell().execute(QStringLiteral("open"), folder + name, {}, folder, ShowDefault);
}

int ShellOpenFolder(const QString& folder)
{
    return platform::shell().execute(QStringLiteral("open"), folder, {}, folder, ShowDefault);
}

int ShellEnqueueFile(const QString& folder, const QString& name, long long /*ownerWindow*/)
{
    return platform::shell().execute(QStringLiteral("enqueue"), folder + name, {}, folder, ShowDefault);
}

void ListDirNames(const QString& pattern, std::vector<QString>& names, int& index)
{
    try {
        const QStringList found = platform::fileSystem().dir(pattern, platform::attr::Normal);
        const int upperBound = static_cast<int>(names.size()) - 1;
        if (index < 0 || index > upperBound)
            runtime::raise(runtime::err::SubscriptOutOfRange);
        qsizetype next = 0;
        names[index] = next < found.size() ? found[next++] : QString();
        while (!names[index].isEmpty()) {
            ++index;
            if (index > upperBound)
                return;
            names[index] = next < found.size() ? found[next++] : QString();
        }
    } catch (const runtime::RuntimeError&) {
        // The caller sees how far it got.
    }
}

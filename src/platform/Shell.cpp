#include "platform/Shell.h"

#include "platform/FileSystem.h"
#include "platform/Services.h"
#include "platform/SettingsStore.h"
#include "runtime/RuntimeError.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <stdexcept>

namespace platform {

namespace {

Shell* installedShell = nullptr;

int startDetached(const QStringList& command, const QString& workingFolder)
{
    if (command.isEmpty() || QStandardPaths::findExecutable(command.first()).isEmpty())
        return shellresult::NoAssociation;
    const bool started = QProcess::startDetached(command.first(), command.mid(1), workingFolder);
    return started ? shellresult::Success : shellresult::NoAssociation;
}

}  // namespace

DesktopShell::DesktopShell(const SettingsStore& store)
    : enqueueCommand_(store.get(QStringLiteral("Kest Velmora"), QStringLiteral("Shell"),
                                QStringLiteral("EnqueueCommand"), defaultEnqueueCommand()))
{
}

QString DesktopShell::defaultEnqueueCommand() { return QStringLiteral("audacious --enqueue %f"); }

// The parameters and the show command have no meaning for the desktop's programs.
int DesktopShell::execute(const QString& verb, const QString& file, const QString& /*parameters*/,
                          const QString& directory, int /*showCommand*/)
{
    QString hostFile;
    QString hostFolder;
    try {
        hostFile = fileSystem().hostPath(file);
        hostFolder = directory.isEmpty() ? QString() : fileSystem().hostPath(directory);
    } catch (const runtime::RuntimeError&) {
        return shellresult::PathNotFound;
    }
    if (!QFileInfo::exists(hostFile))
        return shellresult::FileNotFound;
    if (!hostFolder.isEmpty() && !QFileInfo(hostFolder).isDir())
        return shellresult::PathNotFound;

    if (verb.compare(QLatin1String("open"), Qt::CaseInsensitive) == 0)
        return startDetached({QStringLiteral("xdg-open"), hostFile}, hostFolder);
    if (verb.compare(QLatin1String("enqueue"), Qt::CaseInsensitive) == 0)
        return startDetached(expandCommand(enqueueCommand_, hostFile), hostFolder);
    return shellresult::NoAssociation;
}

int RecordingShell::execute(const QString& verb, const QString& file, const QString& parameters,
                            const QString& directory, int showCommand)
{
    calls.push_back({verb, file, parameters, directory, showCommand});
    return result;
}

Shell& shell()
{
    if (!installedShell)
        throw std::logic_error("no shell installed");
    return *installedShell;
}

void installShell(Shell* shell) { installedShell = shell; }

QStringList expandCommand(const QString& commandLine, const QString& file)
{
    QStringList words = QProcess::splitCommand(commandLine);
    bool placed = false;
    for (QString& word : words) {
        if (word.contains(QLatin1String("%f"))) {
            word.replace(QLatin1String("%f"), file);
            placed = true;
        }
    }
    if (!placed && !words.isEmpty())
        words.append(file);
    return words;
}

}  // namespace platform

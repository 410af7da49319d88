#include "platform/Shell.h"

#include "platform/FileSystem.h"
#include "platform/HostNames.h"
#include "platform/Services.h"
#include "platform/SettingsStore.h"
#include "runtime/RuntimeError.h"

#include <QProcess>
#include <QStandardPaths>
#include <cerrno>
#include <fcntl.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

Shell* installedShell = nullptr;

// Starts the program detached from this one (its own session, reaped by
// init), with the arguments and working folder as host bytes: Qt's own start
// would pass a name that is not UTF-8 changed. True once the program runs.
bool spawnDetached(const QStringList& command, const QString& workingFolder)
{
    std::vector<QByteArray> words;
    for (const QString& word : command)
        words.push_back(hostBytes(word));
    std::vector<char*> argv;
    for (QByteArray& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    const QByteArray folder = hostBytes(workingFolder);

    // The grandchild reports a failed exec through the pipe; a successful
    // exec closes it.
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        return false;
    const pid_t child = ::fork();
    if (child == 0) {
        ::setsid();
        if (::fork() == 0) {
            if (!folder.isEmpty() && ::chdir(folder.constData()) != 0)
                ::_exit(127);
            ::execvp(argv[0], argv.data());
            const int failure = errno;
            [[maybe_unused]] const ssize_t written = ::write(report[1], &failure, sizeof failure);
        }
        ::_exit(0);
    }
    ::close(report[1]);
    int failure = 0;
    const bool started = child > 0 && ::read(report[0], &failure, sizeof failure) == 0;
    ::close(report[0]);
    if (child > 0)
        ::waitpid(child, nullptr, 0);
    return started;
}

int startDetached(const QStringList& command, const QString& workingFolder)
{
    if (command.isEmpty() || QStandardPaths::findExecutable(command.first()).isEmpty())
        return shellresult::NoAssociation;
    return spawnDetached(command, workingFolder) ? shellresult::Success : shellresult::NoAssociation;
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
    struct stat status {};
    if (!statHost(hostFile, status))
        return shellresult::FileNotFound;
    if (!hostFolder.isEmpty() && (!statHost(hostFolder, status) || !S_ISDIR(status.st_mode)))
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

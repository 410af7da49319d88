#include "support/TestEnvironment.h"

#include "platform/HostNames.h"
#include "platform/Services.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

TestEnvironment::TestEnvironment()
{
    if (!dir_.isValid())
        throw std::runtime_error("no temporary folder");
    settings_ = std::make_unique<platform::SettingsStore>(hostPath("settings.ini"));
    platform::DriveTable drives;
    drives.mapFolder(u'c', "/");
    fs_ = std::make_unique<platform::FileSystem>(drives);

    QDir().mkpath(programHostFolder());
    // The files the program ships beside itself, from the source tree: build/bin may also
    // hold what a run of the program left there (an unpacked listing, a drawing preview).
    const QDir data(BRISCA_PROGRAM_DATA_DIR);
    for (const QFileInfo& file : data.entryInfoList(QDir::Files))
        QFile::copy(file.filePath(), programHostFolder() + "/" + file.fileName());

    platform::installSettingsStore(settings_.get());
    platform::installFileSystem(fs_.get());
    platform::installInteraction(&interaction_);
    platform::installProgramFolder(programHostFolder());
    platform::installShell(&shell_);
}

TestEnvironment::~TestEnvironment()
{
    platform::installSettingsStore(nullptr);
    platform::installFileSystem(nullptr);
    platform::installInteraction(nullptr);
    platform::installProgramFolder({});
    platform::installShell(nullptr);
    // Qt cannot remove a name whose bytes are not UTF-8, which several tests
    // make; the standard library removes by bytes, so the sandbox goes whole.
    std::error_code ignored;
    std::filesystem::remove_all(QFile::encodeName(dir_.path()).toStdString(), ignored);
}

QString TestEnvironment::root() const { return dir_.path(); }

QString TestEnvironment::hostPath(const QString& relative) const
{
    return relative.isEmpty() ? root() : root() + "/" + relative;
}

QString TestEnvironment::windowsPath(const QString& relative) const
{
    return fs_->windowsPath(hostPath(relative));
}

QString TestEnvironment::mapDrive(QChar letter, const QString& relativeFolder,
                                  platform::DriveTable::Kind kind)
{
    QDir().mkpath(hostPath(relativeFolder));
    fs_->drives().mapFolder(letter, hostPath(relativeFolder), kind);
    return hostPath(relativeFolder);
}

void TestEnvironment::writeFile(const QString& relative, const QByteArray& bytes) const
{
    // Through the host bytes, so a test can make names that are not UTF-8.
    const QByteArray path = platform::hostBytes(hostPath(relative));
    for (qsizetype slash = path.indexOf('/', 1); slash > 0; slash = path.indexOf('/', slash + 1))
        ::mkdir(path.left(slash).constData(), 0777);
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    const bool written = fd >= 0 && ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    if (fd >= 0)
        ::close(fd);
    if (!written)
        throw std::runtime_error("cannot write " + path.toStdString());
}

QByteArray TestEnvironment::readFile(const QString& relative) const
{
    QFile file(hostPath(relative));
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + hostPath(relative).toStdString());
    return file.readAll();
}

QString TestEnvironment::programHostFolder() const { return hostPath("program"); }

// Times the web update's download of a 100 MB archive from a loopback HTTP
// server (Python's http.server), from the user's Yes until the archive has
// arrived, against curl fetching the same URL, alternating the two; the check
// and unpack that follow the download are timed apart. Reports the medians,
// the ratio, and the program's peak memory during the download beside its
// memory just before it (the archive is made in small pieces, so the bench's
// own buffers are not in either number).
//
// usage: update-bench [RUNS]

#include "BenchTiming.h"
#include "exchange/Progress.h"
#include "exchange/WebUpdate.h"
#include "platform/DriveTable.h"
#include "platform/FileSystem.h"
#include "platform/Forms.h"
#include "platform/Interaction.h"
#include "platform/Services.h"
#include "platform/ZipControl.h"
#include "search/ListSearch.h"
#include "search/SearchForm.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

namespace {

using bench::Clock;
using bench::median;
using platform::MsgResult;

constexpr qsizetype ArchiveBytes = 100 * 1024 * 1024;
constexpr qsizetype PieceBytes = 1024 * 1024;

// From one moment to a later one.
double seconds(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

[[noreturn]] void fail(const QString& why)
{
    std::fprintf(stderr, "%s\n", qPrintable(why));
    std::exit(1);
}

// Bytes that do not compress, stored in a zip archive of about 100 MB.
void makeArchive(const QString& stage, const QString& served)
{
    QDir().mkpath(stage);
    QFile file(stage + "/Bulk.txt");
    if (!file.open(QIODevice::WriteOnly))
        fail("cannot write " + file.fileName());
    QRandomGenerator random(42);
    QByteArray piece(PieceBytes, Qt::Uninitialized);
    for (qsizetype written = 0; written < ArchiveBytes; written += piece.size()) {
        random.fillRange(reinterpret_cast<quint32*>(piece.data()), piece.size() / 4);
        if (file.write(piece) != piece.size())
            fail("cannot write " + file.fileName());
    }
    file.close();
    platform::ZipControl packer;
    packer.ArchiveFolder = "w:\\stage";
    packer.ArchiveName = "w:\\served\\Bulk.zip";
    packer.CompressionLevel = 0;
    packer.OverwriteFiles = true;
    if (packer.PackFiles() != platform::ZipControl::NoError || !QFile::exists(served + "/Bulk.zip"))
        fail("cannot pack the archive");
}

// Python's http.server on a free loopback port; returns "127.0.0.1:port".
QString startServer(QProcess& server, const QString& served)
{
    server.setProgram("python3");
    server.setArguments({"-u", "-m", "http.server", "0", "--bind", "127.0.0.1", "--directory", served});
    server.setProcessChannelMode(QProcess::SeparateChannels);
    server.start();
    const QRegularExpression portLine("port (\\d+)");
    QByteArray said;
    while (server.waitForReadyRead(10000)) {
        said += server.readAllStandardOutput();
        const QRegularExpressionMatch match = portLine.match(QString::fromLatin1(said));
        if (match.hasMatch())
            return "127.0.0.1:" + match.captured(1);
    }
    fail("python3 -m http.server did not start: " + QString::fromLatin1(said));
}

// Answers the update's question Yes and notes when it did.
class TimedYes : public platform::ScriptedInteraction {
public:
    std::optional<Clock::time_point> answeredAt;
    MsgResult msgBox(const QString& prompt, platform::MsgButtons buttons, platform::MsgIcon icon,
                     const QString& title, QWidget* owner) override
    {
        const MsgResult result = ScriptedInteraction::msgBox(prompt, buttons, icon, title, owner);
        if (result == MsgResult::Yes)
            answeredAt = Clock::now();
        return result;
    }
};

struct UpdateTimes {
    double download;
    double unpack;
    long memoryBefore;    // MB resident as the update starts
    long peakInDownload;  // MB, the highest resident size up to the archive's arrival
};

// The resident size now, or its peak ("VmRSS:" or "VmHWM:"), in MB.
long residentMegabytes(const char* field)
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLong() / 1024;
    }
    return -1;
}

// Starts a new peak of the resident size from the size now.
void resetPeakMemory()
{
    QFile clearRefs("/proc/self/clear_refs");
    if (!clearRefs.open(QIODevice::WriteOnly) || clearRefs.write("5") != 1)
        fail("cannot reset the peak memory through /proc/self/clear_refs");
}

UpdateTimes timeUpdate(SearchForm& form, TimedYes& dialogs, const QString& data)
{
    QFile::remove(data + "/Bulk.zip");
    QFile::remove(data + "/Bulk.txt");
    dialogs.clear();
    dialogs.answeredAt.reset();
    std::optional<Clock::time_point> retrievedAt;
    long peak = -1;
    platform::Forms::registerForm("Progress", [&retrievedAt, &peak] {
        auto* progress = new Progress;
        QObject::connect(progress->bar, &QProgressBar::valueChanged, progress, [progress, &retrievedAt, &peak] {
            if (!retrievedAt && progress->Status->text() == "Retrieved compressed data update!") {
                retrievedAt = Clock::now();
                peak = residentMegabytes("VmHWM:");
            }
        });
        return progress;
    });
    const long before = residentMegabytes("VmRSS:");
    resetPeakMemory();
    WebUpdate_Click(form);
    const Clock::time_point end = Clock::now();
    if (!dialogs.answeredAt || !retrievedAt || QFile(data + "/Bulk.txt").size() != ArchiveBytes)
        fail("the update did not complete: " + dialogs.prompts().join(" | "));
    return {seconds(*dialogs.answeredAt, *retrievedAt), seconds(*retrievedAt, end), before, peak};
}

double timeCurl(const QString& url, const QString& output)
{
    QFile::remove(output);
    const Clock::time_point start = Clock::now();
    if (QProcess::execute("curl", {"-s", "-o", output, url}) != 0)
        fail("curl failed");
    const double taken = bench::secondsSince(start);
    if (QFile(output).size() < ArchiveBytes)
        fail("curl fetched too little");
    return taken;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;

    QTemporaryDir work;
    platform::DriveTable drives;
    drives.mapFolder(u'w', work.path());
    platform::FileSystem fileSystem(drives);
    TimedYes dialogs;
    platform::installFileSystem(&fileSystem);
    platform::installInteraction(&dialogs);
    const QString served = work.filePath("served");
    const QString data = work.filePath("data");
    QDir().mkpath(served);
    QDir().mkpath(data);
    makeArchive(work.filePath("stage"), served);

    QProcess server;
    const QString host = startServer(server, served);
    ListSearch.LocalFolder = "w:\\data\\";
    ListSearch.TextFile = "Bulk.txt";
    ListSearch.ArchiveFile = "Bulk.zip";
    ListSearch.WebServer = host;
    SearchForm form;

    std::vector<double> downloads, unpacks, curls;
    long memoryBefore = 0, peakInDownload = 0;
    for (int run = 0; run < runs; ++run) {
        const UpdateTimes update = timeUpdate(form, dialogs, data);
        downloads.push_back(update.download);
        unpacks.push_back(update.unpack);
        memoryBefore = std::max(memoryBefore, update.memoryBefore);
        peakInDownload = std::max(peakInDownload, update.peakInDownload);
        curls.push_back(timeCurl("http://" + host + "/Bulk.zip", work.filePath("curl.zip")));
    }
    server.terminate();
    server.waitForFinished(5000);

    std::printf("update: %lld-byte archive; download median %.3f s (%.3f to %.3f), unpack median %.3f s\n",
                static_cast<long long>(QFile(data + "/Bulk.zip").size()), median(downloads),
                *std::min_element(downloads.begin(), downloads.end()),
                *std::max_element(downloads.begin(), downloads.end()), median(unpacks));
    std::printf("curl: median %.3f s (%.3f to %.3f)\n", median(curls), *std::min_element(curls.begin(), curls.end()),
                *std::max_element(curls.begin(), curls.end()));
    std::printf("update memory: %ld MB before the download, peak %ld MB during it (+%ld MB)\n", memoryBefore,
                peakInDownload, peakInDownload - memoryBefore);
    std::printf("update/curl ratio: %.2f\n", median(downloads) / median(curls));
    return 0;
}

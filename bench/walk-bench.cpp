// Times the folder walk writing the listing of a tree mapped as a drive
// against peers listing the same tree into a file, alternating them, and
// reports the medians and the ratios, the listing's MD5 (to tell that a change
// to the walk writes the same bytes) and the peak memory with what the process
// held before walking. The peers, each in its fastest fair form:
// - find printing path, size and last-write date and time of every entry
//   (the fields of the listing), with TZ set: without it find reads the zone
//   file again for every entry. When TZ is unset, the system's zone is named
//   for the whole run (":/etc/localtime"), so the walk and find convert alike;
// - fdfind, where installed, on one thread as the walk works, hidden entries
//   left out as the walk leaves them: it prints paths alone, so it reads no
//   file's details and stands for the least a walk costs;
// - a bare walker in this process reading each folder with getdents64 and
//   each entry with one fstatat, printing the same fields as find.
// The walk and the bare walker run in this process; find's and fdfind's times
// include their process start (a few ms), which weighs only on small trees.
//
// usage: walk-bench [--make[=FILES]] TREE [RUNS]
// --make first creates TREE: 5,000 folders holding FILES files (100,000 by
// default, a multiple of 5,000), the same every time.

#include "BenchTiming.h"

#include "platform/DriveTable.h"
#include "platform/FileSystem.h"
#include "platform/Interaction.h"
#include "platform/Services.h"
#include "runtime/AnsiText.h"
#include "search/ListingWriter.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

using namespace bench;

namespace {

constexpr int TopFolders = 50;
constexpr int SubFoldersEach = 99;  // 50 + 50 × 99 = 5,000 folders
constexpr int Folders = TopFolders * (1 + SubFoldersEach);

void makeFiles(const QString& folder, int seed, int filesEach)
{
    for (int i = 0; i < filesEach; ++i) {
        QFile file(folder + QString("/clip%1 %2.wmf").arg(seed).arg(i));
        if (!file.open(QIODevice::WriteOnly) || !file.resize(100 + (seed * 7919 + i * 104729) % 3000000)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            std::exit(1);
        }
    }
}

void makeTree(const QString& root, int filesEach)
{
    int seed = 0;
    for (int top = 0; top < TopFolders; ++top) {
        const QString folder = root + QString("/Theme %1").arg(top);
        QDir().mkpath(folder);
        makeFiles(folder, seed++, filesEach);
        for (int sub = 0; sub < SubFoldersEach; ++sub) {
            const QString subFolder = folder + QString("/Set %1").arg(sub);
            QDir().mkpath(subFolder);
            makeFiles(subFolder, seed++, filesEach);
        }
    }
}

// The processor time (user and system) of this process or of its finished
// children: on a busy machine it tells more than the clock.
double processorSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    const auto seconds = [](const timeval& time) { return double(time.tv_sec) + time.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The clock and processor times of each run of one side.
struct Series {
    std::vector<double> clock;
    std::vector<double> processor;

    template <typename Work>
    void time(int who, Work work)
    {
        const double processorBefore = processorSeconds(who);
        const Clock::time_point start = Clock::now();
        work();
        clock.push_back(secondsSince(start));
        processor.push_back(processorSeconds(who) - processorBefore);
    }
};

// As a rescan writes a location's listing.
void walk(const QString& listing)
{
    runtime::AnsiTextWriter out(listing, runtime::AnsiTextWriter::Mode::Output,
                                runtime::AnsiTextWriter::Encoding::AnsiOrUtf8);
    WriteFolderListing("w:\\", "*.*", ListingFiles{&out, nullptr}, "BENCH", listingflags::File1Only);
    out.close();
}

// Runs the command with its output into the file, its process start included.
void runPeer(std::vector<std::string> args, const QString& output)
{
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    pid_t pid = 0;
    int status = 1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0 ||
        waitpid(pid, &status, 0) != pid || status != 0) {
        std::fprintf(stderr, "%s failed\n", argv[0]);
        std::exit(1);
    }
    posix_spawn_file_actions_destroy(&actions);
}

// The least a walk must do: read each folder with getdents64, each entry with
// one fstatat, and print the fields find prints, into a buffered file.
class BareWalker {
public:
    explicit BareWalker(std::FILE* out) : out_(out) {}

    void walk(int folder, std::string& path)
    {
        std::vector<std::string> subFolders;
        alignas(dirent64) char buffer[32 * 1024];
        for (ssize_t got; (got = getdents64(folder, buffer, sizeof buffer)) > 0;) {
            for (ssize_t at = 0; at < got;) {
                const auto* entry = reinterpret_cast<const dirent64*>(buffer + at);
                at += entry->d_reclen;
                const char* name = entry->d_name;
                struct stat status {};
                if (name[0] == '.' || fstatat(folder, name, &status, 0) != 0)
                    continue;
                std::tm local{};
                localtime_r(&status.st_mtim.tv_sec, &local);
                char date[32];
                std::strftime(date, sizeof date, "%D %r", &local);
                std::fprintf(out_, "%s/%s %lld %s\n", path.c_str(), name, static_cast<long long>(status.st_size),
                             date);
                if (S_ISDIR(status.st_mode))
                    subFolders.push_back(name);
            }
        }
        for (const std::string& name : subFolders) {
            const int subFolder = openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (subFolder < 0)
                continue;
            const std::size_t length = path.size();
            path += '/' + name;
            walk(subFolder, path);
            path.resize(length);
            close(subFolder);
        }
    }

private:
    std::FILE* out_;
};

void bareWalk(const QString& tree, const QString& output)
{
    std::FILE* out = std::fopen(output.toLocal8Bit().constData(), "w");
    std::string path = tree.toStdString();
    const int root = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    BareWalker(out).walk(root, path);
    close(root);
    std::fclose(out);
}

bool installed(const char* command)
{
    return std::system((std::string("command -v ") + command + " >/dev/null").c_str()) == 0;
}

QByteArray md5Of(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    QCryptographicHash hash(QCryptographicHash::Md5);
    hash.addData(&file);
    return hash.result().toHex();
}

}  // namespace

int main(int argc, char** argv)
{
    // The zone the system names, read once by every side (see above).
    setenv("TZ", ":/etc/localtime", 0);
    tzset();
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int files = 0;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == "--make" || args[i].startsWith("--make=")) {
            files = args[i] == "--make" ? 100000 : args[i].mid(7).toInt();
            args.removeAt(i);
            break;
        }
    }
    if (args.isEmpty() || files < 0 || files % Folders != 0) {
        std::fprintf(stderr, "usage: walk-bench [--make[=FILES]] TREE [RUNS] (FILES a multiple of %d)\n", Folders);
        return 2;
    }
    const QString tree = QDir(args[0]).absolutePath();
    const int runs = args.size() > 1 ? std::max(1, args[1].toInt()) : 5;
    if (files && !QDir(tree).exists()) {
        std::printf("making %s\n", qPrintable(tree));
        makeTree(tree, files / Folders);
    }
    if (!QDir(tree).exists()) {
        std::fprintf(stderr, "%s does not exist (--make creates it)\n", qPrintable(tree));
        return 1;
    }

    platform::DriveTable drives;
    drives.mapFolder(u'w', tree);
    platform::FileSystem fileSystem(drives);
    platform::ScriptedInteraction dialogs;
    platform::installFileSystem(&fileSystem);
    platform::installInteraction(&dialogs);

    QTemporaryDir work;
    const std::string treeArg = tree.toStdString();
    const bool withFd = installed("fdfind");
    const long peakBefore = peakMegabytes();
    Series walks;
    Series finds;
    Series fds;
    Series bareWalks;
    for (int run = 0; run < runs; ++run) {
        walks.time(RUSAGE_SELF, [&] { walk(work.filePath("listing.txt")); });
        finds.time(RUSAGE_CHILDREN,
                   [&] { runPeer({"find", treeArg, "-printf", "%p %s %TD %Tr\\n"}, work.filePath("find.txt")); });
        if (withFd)
            fds.time(RUSAGE_CHILDREN, [&] {
                runPeer({"fdfind", "--no-ignore", "--threads=1", "--color=never", ".", treeArg},
                        work.filePath("fd.txt"));
            });
        bareWalks.time(RUSAGE_SELF, [&] { bareWalk(tree, work.filePath("bare.txt")); });
    }
    const long peak = peakMegabytes();
    const auto range = [](const std::vector<double>& times) {
        return QString::asprintf("%.4f s (%.4f-%.4f)", median(times), *std::min_element(times.begin(), times.end()),
                                 *std::max_element(times.begin(), times.end()));
    };
    std::printf("walk: %lld bytes of listing (MD5 %s), %zu messages; median %s, processor %s; peak memory %ld MB, "
                "%ld MB before walking\n",
                static_cast<long long>(QFile(work.filePath("listing.txt")).size()),
                md5Of(work.filePath("listing.txt")).constData(), dialogs.messages().size(),
                qPrintable(range(walks.clock)), qPrintable(range(walks.processor)), peak, peakBefore);
    const auto report = [&](const char* name, const Series& peer) {
        std::printf("%s: median %s, processor %s; walk/%s %.2f, processor %.2f\n", name, qPrintable(range(peer.clock)),
                    qPrintable(range(peer.processor)), name, median(walks.clock) / median(peer.clock),
                    median(walks.processor) / median(peer.processor));
    };
    report("bare", bareWalks);
    if (withFd)
        report("fdfind", fds);
    else
        std::printf("fdfind: not installed\n");
    report("find", finds);
    std::printf("walk/find ratio: %.2f\n", median(walks.clock) / median(finds.clock));
    return 0;
}

// Times the folder walk writing the listing of a tree mapped as a drive,
// against find printing path, size and year of every entry of the same tree
// into a file, alternating the two, and reports the medians and the ratio,
// the listing's MD5 (to tell that a change to the walk writes the same bytes)
// and the peak memory with what the process held before walking.
//
// usage: walk-bench [--make] TREE [RUNS]
// --make first creates TREE: 100,000 files in 5,000 folders, the same every time.

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
#include <string>
#include <vector>

using namespace bench;

namespace {

constexpr int TopFolders = 50;
constexpr int SubFoldersEach = 99;  // 50 + 50 × 99 = 5,000 folders
constexpr int FilesEach = 20;       // 100,000 files

void makeFiles(const QString& folder, int seed)
{
    for (int i = 0; i < FilesEach; ++i) {
        QFile file(folder + QString("/clip%1 %2.wmf").arg(seed).arg(i));
        if (!file.open(QIODevice::WriteOnly) || !file.resize(100 + (seed * 7919 + i * 104729) % 3000000)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            std::exit(1);
        }
    }
}

void makeTree(const QString& root)
{
    int seed = 0;
    for (int top = 0; top < TopFolders; ++top) {
        const QString folder = root + QString("/Theme %1").arg(top);
        QDir().mkpath(folder);
        makeFiles(folder, seed++);
        for (int sub = 0; sub < SubFoldersEach; ++sub) {
            const QString subFolder = folder + QString("/Set %1").arg(sub);
            QDir().mkpath(subFolder);
            makeFiles(subFolder, seed++);
        }
    }
}

double timeWalk(const QString& listing)
{
    const Clock::time_point start = Clock::now();
    runtime::AnsiTextWriter out(listing);
    WriteFolderListing("w:\\", "*.*", ListingFiles{&out, nullptr}, "BENCH", listingflags::File1Only);
    out.close();
    return secondsSince(start);
}

double timeFind(const QString& tree, const QString& output)
{
    const std::string command = "find '" + tree.toStdString() + "' -printf '%p %s %TY\\n' > '" +
        output.toStdString() + "'";
    const Clock::time_point start = Clock::now();
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "find failed\n");
        std::exit(1);
    }
    return secondsSince(start);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool make = args.removeAll("--make") > 0;
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: walk-bench [--make] TREE [RUNS]\n");
        return 2;
    }
    const QString tree = QDir(args[0]).absolutePath();
    const int runs = args.size() > 1 ? std::max(1, args[1].toInt()) : 5;
    if (make && !QDir(tree).exists()) {
        std::printf("making %s\n", qPrintable(tree));
        makeTree(tree);
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
    const long peakBefore = peakMegabytes();
    std::vector<double> walkTimes;
    std::vector<double> findTimes;
    for (int run = 0; run < runs; ++run) {
        walkTimes.push_back(timeWalk(work.filePath("listing.txt")));
        findTimes.push_back(timeFind(tree, work.filePath("find.txt")));
    }
    const double ratio = median(walkTimes) / median(findTimes);
    const long peak = peakMegabytes();
    QFile listing(work.filePath("listing.txt"));
    listing.open(QIODevice::ReadOnly);
    QCryptographicHash hash(QCryptographicHash::Md5);
    hash.addData(&listing);
    const QByteArray digest = hash.result().toHex();
    std::printf("walk: %lld bytes of listing (MD5 %s), %zu messages; median %.4f s; peak memory %ld MB, %ld MB "
                "before walking\n",
                static_cast<long long>(listing.size()), digest.constData(), dialogs.messages().size(),
                median(walkTimes), peak, peakBefore);
    std::printf("find: median %.4f s\n", median(findTimes));
    std::printf("walk/find ratio: %.2f\n", ratio);
    return 0;
}

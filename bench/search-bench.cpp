// Times the listing search (the engine without the window, hits collected)
// against grep counting the same words in the same file, alternating the two,
// and reports the medians, the peak memory and the ratio.
//
// usage: search-bench LISTING [RUNS]

#include "BenchTiming.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

using namespace bench;

namespace {

struct Case {
    QString text;
    int minMatch;
};

// grep -c -i -F -e WORD ... LISTING. Its count is read through a pipe: grep
// stops at the first match when its output is /dev/null.
double timeGrep(const QStringList& words, const std::string& listing)
{
    std::vector<std::string> args = {"grep", "-c", "-i", "-F"};
    for (const QString& word : words) {
        args.push_back("-e");
        args.push_back(word.toStdString());
    }
    args.push_back(listing);
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        std::perror("pipe");
        std::exit(1);
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    const Clock::time_point start = Clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, "grep", &actions, nullptr, argv.data(), environ) != 0) {
        std::perror("grep");
        std::exit(1);
    }
    close(pipeEnds[1]);
    char output[64];
    while (read(pipeEnds[0], output, sizeof output) > 0) {
    }
    int status = 0;
    waitpid(pid, &status, 0);
    const double elapsed = secondsSince(start);
    close(pipeEnds[0]);
    posix_spawn_file_actions_destroy(&actions);
    return elapsed;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: search-bench LISTING [RUNS]\n");
        return 2;
    }
    const QString listing = QString::fromLocal8Bit(argv[1]);
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 9;
    // The case with few hits first: the peak memory after it is the search's own.
    const std::vector<Case> cases = {{"red flower border", 70}, {"eagle", 70}};

    std::printf("peak memory before searching: %ld MB\n", peakMegabytes());
    double worst = 0;
    for (const Case& c : cases) {
        std::vector<double> searchTimes;
        std::vector<double> grepTimes;
        std::size_t hits = 0;
        std::int32_t entries = 0;
        for (int run = 0; run < runs; ++run) {
            const EngineRun engine = timeEngine(c.text, c.minMatch, listing);
            searchTimes.push_back(engine.seconds);
            hits = engine.hits;
            entries = engine.entries;
            grepTimes.push_back(timeGrep(splitSearchWords(c.text), argv[1]));
        }
        const double ratio = median(searchTimes) / median(grepTimes);
        worst = std::max(worst, ratio);
        std::printf("\"%s\" at %d: %d entries, %zu hits; search median %.4f s, grep median %.4f s, ratio %.2f; "
                    "peak memory so far %ld MB\n",
                    qPrintable(c.text), c.minMatch, entries, hits, median(searchTimes), median(grepTimes), ratio,
                    peakMegabytes());
    }
    std::printf("search/grep ratio: %.2f\n", worst);
    return 0;
}

// Times the listing search (the engine without the window) against grep and
// ripgrep counting the lines that hold the same words in the same file, case
// ignored (-c -i -F), alternating the three, and reports the medians, the
// peak memory and the ratios.
//
// usage: search-bench LISTING [RUNS] [WORDS]
// WORDS in place of the two cases, for a profile of one search.

#include "BenchTiming.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>
#include <cstdio>
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

// TOOL -c -i -F -e WORD ... LISTING. Its count is read through a pipe: grep
// stops at the first match when its output is /dev/null.
double timeTool(const char* tool, const QStringList& words, const std::string& listing)
{
    std::vector<std::string> args = {tool, "-c", "-i", "-F"};
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
    if (posix_spawnp(&pid, tool, &actions, nullptr, argv.data(), environ) != 0) {
        std::perror(tool);
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
        std::fprintf(stderr, "usage: search-bench LISTING [RUNS] [WORDS]\n");
        return 2;
    }
    const QString listing = QString::fromLocal8Bit(argv[1]);
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 9;
    // The case with few hits first: the peak memory after it is the search's own.
    std::vector<Case> cases = {{"red flower border", 70}, {"eagle", 70}};
    if (argc > 3)
        cases = {{QString::fromLocal8Bit(argv[3]).toLower(), 70}};

    std::printf("peak memory before searching: %ld MB\n", peakMegabytes());
    double worstGrep = 0;
    double worstRipgrep = 0;
    for (const Case& c : cases) {
        std::vector<double> searchTimes;
        std::vector<double> grepTimes;
        std::vector<double> ripgrepTimes;
        EngineRun engine;
        for (int run = 0; run < runs; ++run) {
            engine = timeEngine(c.text, c.minMatch, listing);
            searchTimes.push_back(engine.seconds);
            grepTimes.push_back(timeTool("grep", splitSearchWords(c.text), argv[1]));
            ripgrepTimes.push_back(timeTool("rg", splitSearchWords(c.text), argv[1]));
        }
        const double search = median(searchTimes);
        worstGrep = std::max(worstGrep, search / median(grepTimes));
        worstRipgrep = std::max(worstRipgrep, search / median(ripgrepTimes));
        const auto [fastest, slowest] = std::minmax_element(searchTimes.begin(), searchTimes.end());
        std::printf("\"%s\" at %d: %d entries, %zu hits; search median %.4f s (%.4f-%.4f), grep median %.4f s, "
                    "ripgrep median %.4f s, ratios %.2f and %.2f; peak memory so far %ld MB\n",
                    qPrintable(c.text), c.minMatch, engine.entries, engine.hits, search, *fastest, *slowest,
                    median(grepTimes), median(ripgrepTimes), search / median(grepTimes),
                    search / median(ripgrepTimes), peakMegabytes());
        std::fflush(stdout);
    }
    std::printf("search/grep ratio: %.2f\n", worstGrep);
    std::printf("search/ripgrep ratio: %.2f\n", worstRipgrep);
    return 0;
}

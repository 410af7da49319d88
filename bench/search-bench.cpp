// Times the listing search against grep and ripgrep doing the same work on
// the same file, each as a whole process from its start to its exit: the
// search runs in a process of its own (this program, started again with
// --one), so every tool pays its own start. The peers count the lines that
// hold every word, case ignored: one word is `TOOL -a -i -F -c WORD`, more
// words a pipeline with one TOOL for each word, the last counting. Every
// process runs with LC_ALL=C, so grep compares the listing's Windows-1252
// bytes as bytes. The three alternate; medians, ranges, each process's peak
// memory and the ratios are reported.
//
// usage: search-bench LISTING [RUNS] [WORDS]
// WORDS in place of the two cases, for a profile of one search.
//        search-bench --one LISTING WORDS
// One search of the engine, printing its hits and entries.
//        search-bench --versus LISTING OTHER [RUNS]
// The search of the two cases on LISTING and on OTHER (the same listing in
// UTF-8), alternating, with the ratio of their medians.

#include "BenchTiming.h"

#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

using namespace bench;

namespace {

constexpr int MinMatch = 70;  // one word, or all of three, is above it

using Command = std::vector<std::string>;

struct ProcessRun {
    double seconds = 0;
    std::string output;  // what the last process printed
    long peakMegabytes = 0;  // the largest of the processes
};

// Starts `command` with its input and output on the given descriptors.
pid_t start(const Command& command, int input, int output)
{
    std::vector<char*> argv;
    for (const std::string& arg : command)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (input != 0)
        posix_spawn_file_actions_adddup2(&actions, input, 0);
    posix_spawn_file_actions_adddup2(&actions, output, 1);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        std::perror(argv[0]);
        std::exit(1);
    }
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// Runs the commands as a pipeline, from the start of the first to the exit of
// the last. The output is read through a pipe: grep stops at the first match
// when its output is /dev/null.
ProcessRun runPipeline(const std::vector<Command>& commands)
{
    const Clock::time_point begin = Clock::now();
    std::vector<pid_t> pids;
    int input = 0;
    int ends[2] = {-1, -1};
    for (const Command& command : commands) {
        if (pipe2(ends, O_CLOEXEC) != 0) {
            std::perror("pipe");
            std::exit(1);
        }
        pids.push_back(start(command, input, ends[1]));
        close(ends[1]);
        if (input != 0)
            close(input);
        input = ends[0];
    }
    ProcessRun run;
    char block[256];
    for (ssize_t got; (got = read(input, block, sizeof block)) > 0;)
        run.output.append(block, static_cast<std::size_t>(got));
    close(input);
    for (const pid_t pid : pids) {
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        run.peakMegabytes = std::max(run.peakMegabytes, usage.ru_maxrss / 1024);
        if (!WIFEXITED(status) || WEXITSTATUS(status) > 1) {  // 1: grep found nothing
            std::fprintf(stderr, "%s failed\n", commands[0][0].c_str());
            std::exit(1);
        }
    }
    run.seconds = secondsSince(begin);
    while (!run.output.empty() && run.output.back() == '\n')
        run.output.pop_back();
    return run;
}

// TOOL -a -i -F WORD LISTING, piped through TOOL -a -i -F WORD for each
// further word, the last with -c.
std::vector<Command> allWords(const char* tool, const QStringList& words, const std::string& listing)
{
    std::vector<Command> commands;
    for (const QString& word : words)
        commands.push_back({tool, "-a", "-i", "-F", word.toStdString()});
    commands.front().push_back(listing);
    commands.back().insert(commands.back().begin() + 1, "-c");
    return commands;
}

struct Timings {
    std::vector<double> seconds;
    std::string output;
    long peakMegabytes = 0;

    void add(const ProcessRun& run)
    {
        seconds.push_back(run.seconds);
        output = run.output;
        peakMegabytes = std::max(peakMegabytes, run.peakMegabytes);
    }
    std::string summary() const
    {
        const auto [low, high] = std::minmax_element(seconds.begin(), seconds.end());
        char text[128];
        std::snprintf(text, sizeof text, "median %.4f s (%.4f-%.4f), peak %ld MB, printed %s", median(seconds), *low,
                      *high, peakMegabytes, output.c_str());
        return text;
    }
};

const std::vector<QString> Cases = {"red flower border", "eagle"};

Command oneSearch(const std::string& listing, const QString& words)
{
    return {"/proc/self/exe", "--one", listing, words.toStdString()};
}

// Prints the search's medians on both listings and the worse ratio of OTHER's
// to LISTING's as "utf-8/windows-1252 ratio: X.XX".
int compareListings(const std::string& listing, const std::string& other, int runs)
{
    double worst = 0;
    for (const QString& words : Cases) {
        Timings listingTimes;
        Timings otherTimes;
        for (int run = 0; run < runs; ++run) {
            listingTimes.add(runPipeline({oneSearch(listing, words)}));
            otherTimes.add(runPipeline({oneSearch(other, words)}));
        }
        const double ratio = median(otherTimes.seconds) / median(listingTimes.seconds);
        worst = std::max(worst, ratio);
        std::printf("\"%s\" at %d:\n  windows-1252 %s\n  utf-8        %s\n  ratio %.2f\n", qPrintable(words), MinMatch,
                    listingTimes.summary().c_str(), otherTimes.summary().c_str(), ratio);
        std::fflush(stdout);
    }
    std::printf("utf-8/windows-1252 ratio: %.2f\n", worst);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--one") {
        const EngineRun run = timeEngine(QString::fromLocal8Bit(argv[3]).toLower(), MinMatch,
                                         QString::fromLocal8Bit(argv[2]));
        std::printf("%zu hits of %d entries\n", run.hits, run.entries);
        return 0;
    }
    if (argc >= 4 && std::string(argv[1]) == "--versus")
        return compareListings(argv[2], argv[3], argc > 4 ? std::max(1, std::atoi(argv[4])) : 9);
    if (argc < 2) {
        std::fprintf(stderr, "usage: search-bench LISTING [RUNS] [WORDS]\n");
        return 2;
    }
    setenv("LC_ALL", "C", 1);
    const std::string listing = argv[1];
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 9;
    std::vector<QString> cases = Cases;
    if (argc > 3)
        cases = {QString::fromLocal8Bit(argv[3])};

    double worstGrep = 0;
    double worstRipgrep = 0;
    for (const QString& words : cases) {
        const std::vector<Command> search = {oneSearch(listing, words)};
        const std::vector<Command> grep = allWords("grep", splitSearchWords(words), listing);
        const std::vector<Command> ripgrep = allWords("rg", splitSearchWords(words), listing);
        Timings searchTimes;
        Timings grepTimes;
        Timings ripgrepTimes;
        for (int run = 0; run < runs; ++run) {
            searchTimes.add(runPipeline(search));
            grepTimes.add(runPipeline(grep));
            ripgrepTimes.add(runPipeline(ripgrep));
        }
        const double toGrep = median(searchTimes.seconds) / median(grepTimes.seconds);
        const double toRipgrep = median(searchTimes.seconds) / median(ripgrepTimes.seconds);
        worstGrep = std::max(worstGrep, toGrep);
        worstRipgrep = std::max(worstRipgrep, toRipgrep);
        std::printf("\"%s\" at %d:\n  search  %s\n  grep    %s lines\n  ripgrep %s lines\n  ratios %.2f and %.2f\n",
                    qPrintable(words), MinMatch, searchTimes.summary().c_str(), grepTimes.summary().c_str(),
                    ripgrepTimes.summary().c_str(), toGrep, toRipgrep);
        std::fflush(stdout);
    }
    std::printf("search/grep ratio: %.2f\n", worstGrep);
    std::printf("search/ripgrep ratio: %.2f\n", worstRipgrep);
    return 0;
}

#pragma once
// What every benchmark measures with: a clock, medians and ranges of repeated
// runs, the process's peak memory, and the listing search's own time.

#include "search/ListingSearch.h"

#include <QFile>
#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

inline long peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

struct EngineRun {
    double seconds = 0;
    std::size_t hits = 0;
    std::int32_t entries = 0;
};

// The search engine alone on one listing, without a window: the hits are
// taken away at each checkpoint, as the window takes them into its list, so
// the memory is the engine's own.
inline EngineRun timeEngine(const QString& lowerCasedText, int minMatch, const QString& listing)
{
    const Clock::time_point start = Clock::now();
    QFile file(listing);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(listing));
        std::exit(1);
    }
    std::vector<ListingHit> hits;
    EngineRun run;
    const auto takeHits = [&] {
        run.hits += hits.size();
        hits.clear();
    };
    SearchListing(file, lowerCasedText, minMatch, run.entries, hits, [&](std::int32_t) {
        takeHits();
        return false;
    });
    takeHits();
    run.seconds = secondsSince(start);
    return run;
}

}  // namespace bench

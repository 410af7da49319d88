// Times a search through the real search window, offscreen: the words typed
// into the search box and Enter pressed as a user does, until the search has
// ended and the hit list has painted; against the search engine alone on the
// same words, alternating the two. Reports the medians and ranges, the longest
// time the window left input waiting during the search, and the ratio.
//
// usage: window-bench LISTING [RUNS] [WORDS]
// WORDS in place of the three cases, for a profile of one search.

#include "BenchTiming.h"

#include "platform/DriveTable.h"
#include "platform/FileSystem.h"
#include "platform/Forms.h"
#include "platform/Interaction.h"
#include "platform/Services.h"
#include "platform/SettingsStore.h"
#include "search/HitListModel.h"
#include "search/SearchForm.h"

#include <QApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

using namespace bench;

namespace {

struct Case {
    QString text;
    const char* about;  // the hits it is chosen for
};

struct WindowRun {
    double seconds = 0;
    int rows = 0;
    double longestWait = 0;  // the longest time without input handled, in seconds
};

// Counts the paints of a widget.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

WindowRun timeWindow(SearchForm& form, const QString& text)
{
    form.SearchStr->clear();
    QTest::keyClicks(form.SearchStr, text);
    QCoreApplication::processEvents();

    // A timer due every millisecond stands for the user's input: the gaps
    // between its ticks are the times the window did not answer.
    WindowRun run;
    QTimer input;
    input.setTimerType(Qt::PreciseTimer);
    input.setInterval(1);
    Clock::time_point lastTick = Clock::now();
    QObject::connect(&input, &QTimer::timeout, [&] {
        run.longestWait = std::max(run.longestWait, secondsSince(lastTick));
        lastTick = Clock::now();
    });
    PaintCounter painted;
    form.HitList->viewport()->installEventFilter(&painted);

    const Clock::time_point start = Clock::now();
    lastTick = start;
    input.start();
    QTest::keyClick(form.SearchStr, Qt::Key_Return);
    // The last rows are laid out at the next pass of the event loop and
    // painted at the one after.
    for (int pass = 0; pass < 3 || painted.paints == 0; ++pass)
        QCoreApplication::processEvents();
    run.seconds = secondsSince(start);
    input.stop();
    form.HitList->viewport()->removeEventFilter(&painted);

    if (form.Find->text() != u"Find") {
        std::fprintf(stderr, "the search of \"%s\" did not end\n", qPrintable(text));
        std::exit(1);
    }
    run.rows = form.hitModel->rowCount();
    return run;
}

// "median 0.123 s (0.120-0.131)"
std::string summary(const std::vector<double>& times)
{
    const auto [low, high] = std::minmax_element(times.begin(), times.end());
    char text[96];
    std::snprintf(text, sizeof text, "median %.3f s (%.3f-%.3f)", median(times), *low, *high);
    return text;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: window-bench LISTING [RUNS] [WORDS]\n");
        return 2;
    }
    const QString listing = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    std::vector<Case> cases = {
        {"eagle_rose", "about 40"}, {"eagle variant", "about 10,000"}, {".gif", "about 125,000"}};
    if (argc > 3)
        cases = {{QString::fromLocal8Bit(argv[3]), "as given"}};

    QTemporaryDir home;
    platform::SettingsStore settings(home.filePath("settings.ini"));
    platform::DriveTable drives;
    drives.mapFolder(u'c', "/");
    platform::FileSystem fileSystem(drives);
    platform::ScriptedInteraction dialogs;
    platform::installSettingsStore(&settings);
    platform::installFileSystem(&fileSystem);
    platform::installInteraction(&dialogs);
    platform::installProgramFolder(home.path());

    // A listing named on the command line is all the window searches.
    platform::Forms::registerForm("SearchForm", [&] { return new SearchForm(listing); });
    auto& form = platform::Forms::get<SearchForm>("SearchForm");
    form.Show();
    QCoreApplication::processEvents();

    double worst = 0;
    for (const Case& c : cases) {
        std::vector<double> windowTimes;
        std::vector<double> engineTimes;
        double longestWait = 0;
        WindowRun window;
        EngineRun engine;
        for (int run = 0; run < runs; ++run) {
            window = timeWindow(form, c.text);
            windowTimes.push_back(window.seconds);
            longestWait = std::max(longestWait, window.longestWait);
            engine = timeEngine(c.text.toLower(), 70, listing);
            engineTimes.push_back(engine.seconds);
        }
        if (static_cast<std::size_t>(window.rows) != engine.hits)
            std::fprintf(stderr, "the window shows %d rows, the engine found %zu hits\n", window.rows, engine.hits);
        const double ratio = median(windowTimes) / median(engineTimes);
        worst = std::max(worst, ratio);
        std::printf("\"%s\" (%s): %zu hits of %d entries\n  window %s, longest wait for input %.0f ms\n"
                    "  engine %s\n  ratio %.2f\n",
                    qPrintable(c.text), c.about, engine.hits, engine.entries, summary(windowTimes).c_str(),
                    longestWait * 1000, summary(engineTimes).c_str(), ratio);
        std::fflush(stdout);
    }
    if (!dialogs.messages().empty())
        std::printf("messages shown: %zu, the first: %s\n", dialogs.messages().size(),
                    qPrintable(dialogs.messages().front().prompt));
    std::printf("window/engine ratio: %.2f\n", worst);
    platform::Forms::reset();
    return 0;
}

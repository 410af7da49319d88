// A whole folder thumbnail run through the browser window, offscreen, as the
// "Preview Selected Folder" button starts it, on a folder mapped as drive e:.
// Besides the run's time it measures how long the window waits between two
// chances to answer input (the longest gap between pumps), and when the first
// row of three thumbnails was in the grid.
//
// usage: preview-bench FOLDER
// Prints the cells made, the messages shown, the run's time in ms, the first
// row's time in ms, the longest gap in ms and the process's peak memory.

#include "BenchTiming.h"
#include "OffscreenBrowser.h"
#include "platform/DirListBox.h"
#include "search/ListSearch.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: preview-bench FOLDER\n");
        return 2;
    }
    platform::DriveTable drives;
    drives.mapFolder(u'e', QString::fromLocal8Bit(argv[1]));
    OffscreenBrowser offscreen(std::move(drives));
    Browser& browser = offscreen.browser();
    browser.Dir1->setPath("e:\\");
    browser.Show();

    QElapsedTimer clock;
    qint64 lastPump = 0;
    qint64 longestGap = 0;
    qint64 firstRow = -1;
    QTimer pumpWatch;
    pumpWatch.setInterval(0);
    QObject::connect(&pumpWatch, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longestGap = std::max(longestGap, now - lastPump);
        lastPump = now;
        if (firstRow < 0 && !browser.GridCells(0, 2).FileName.isEmpty())
            firstRow = now;
    });
    clock.start();
    pumpWatch.start();
    browser.Command1_Click();
    const qint64 took = clock.nsecsElapsed();
    pumpWatch.stop();

    int cells = 0;
    for (int n = 0; n < GridCellTable::RowCount * GridCellTable::ColCount; ++n)
        cells += browser.GridCells(n / 3, n % 3).FileName.isEmpty() ? 0 : 1;
    std::printf("%d cells, %d messages, run %.1f ms, first row %.1f ms, longest gap %.1f ms, peak memory %ld MB\n",
                cells, static_cast<int>(offscreen.dialogs().messages().size()), took / 1e6, firstRow / 1e6, longestGap / 1e6,
                bench::peakMegabytes());
    return 0;
}

// Builds the HTML catalogue of FOLDER twice through the browser window,
// offscreen, as its "Create Catalogue" entry does, and prints the time of each
// build: the first makes every thumbnail, the second finds them up to date.
// The pages and thumbnails go into FOLDER/Cat, so FOLDER should be a copy.
// With OUTFOLDER, the distribution of FOLDER is then built into it, for a
// look at its pages.
//
// usage: catalogue-bench FOLDER [OUTFOLDER]

#include "OffscreenBrowser.h"
#include "browser/BrowserBuildHost.h"
#include "browser/Distribution.h"
#include "platform/DirListBox.h"
#include "search/ListSearch.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: catalogue-bench FOLDER [OUTFOLDER]\n");
        return 2;
    }
    OffscreenBrowser offscreen;
    Browser& browser = offscreen.browser();
    browser.Dir1->setPath(offscreen.files().windowsPath(QString::fromLocal8Bit(argv[1])));
    for (const char* build : {"first", "second"}) {
        QElapsedTimer timer;
        timer.start();
        browser.CreateCat_Click();
        std::printf("%s build: %.3f s\n", build, timer.nsecsElapsed() / 1e9);
    }
    if (argc > 2) {
        ListSearch.DistribOutFolder = offscreen.files().windowsPath(QString::fromLocal8Bit(argv[2]));
        BrowserBuildHost host(browser);
        MakeDistribution(host);
    }
    for (const QString& message : offscreen.dialogs().prompts())
        std::printf("message: %s\n", qPrintable(message));
    return 0;
}

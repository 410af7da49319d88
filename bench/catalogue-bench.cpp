// Builds the HTML catalogue of FOLDER twice through the browser window,
// offscreen, as its "Create Catalogue" entry does, and prints the time of each
// build: the first makes every thumbnail, the second finds them up to date.
// The pages and thumbnails go into FOLDER/Cat, so FOLDER should be a copy.
//
// usage: catalogue-bench FOLDER

#include "OffscreenBrowser.h"
#include "platform/DirListBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: catalogue-bench FOLDER\n");
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
    for (const QString& message : offscreen.dialogs().prompts())
        std::printf("message: %s\n", qPrintable(message));
    return 0;
}

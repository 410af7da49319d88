// Builds the HTML catalogue of FOLDER twice through the browser window,
// offscreen, as its "Create Catalogue" entry does, and prints the time of each
// build: the first makes every thumbnail, the second finds them up to date.
// The pages and thumbnails go into FOLDER/Cat, so FOLDER should be a copy.
//
// usage: catalogue-bench FOLDER

#include "browser/Browser.h"
#include "platform/DirListBox.h"
#include "platform/FileSystem.h"
#include "platform/Forms.h"
#include "platform/Interaction.h"
#include "platform/Services.h"
#include "platform/SettingsStore.h"
#include "search/ListSearch.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThreadPool>
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
    QThreadPool::globalInstance()->setMaxThreadCount(1);
    QTemporaryDir settingsFolder;
    platform::SettingsStore settings(settingsFolder.filePath("settings.ini"));
    platform::DriveTable drives;
    drives.mapFolder(u'c', "/");
    platform::FileSystem files(drives);
    platform::ScriptedInteraction dialogs;
    platform::installSettingsStore(&settings);
    platform::installFileSystem(&files);
    platform::installInteraction(&dialogs);
    platform::installProgramFolder(QCoreApplication::applicationDirPath());
    platform::Forms::registerForm("Browser", [] { return new Browser; });

    Browser& browser = platform::Forms::get<Browser>("Browser");
    browser.Dir1->setPath(files.windowsPath(QString::fromLocal8Bit(argv[1])));
    for (const char* build : {"first", "second"}) {
        QElapsedTimer timer;
        timer.start();
        browser.CreateCat_Click();
        std::printf("%s build: %.3f s\n", build, timer.nsecsElapsed() / 1e9);
    }
    for (const QString& message : dialogs.prompts())
        std::printf("message: %s\n", qPrintable(message));
    platform::Forms::reset();
    return 0;
}

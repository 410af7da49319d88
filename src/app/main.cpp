// The program starts with the search window's load and ends when the search
// window's unload has completed.

#include "app/FormRegistry.h"
#include "platform/FileSystem.h"
#include "platform/Forms.h"
#include "platform/Interaction.h"
#include "platform/Services.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"

#include <QApplication>

using platform::Forms;

namespace {

QString versionText()
{
    return QStringLiteral("%1.%2.%3")
        .arg(BRISCA_VERSION_MAJOR)
        .arg(BRISCA_VERSION_MINOR)
        .arg(BRISCA_VERSION_PATCH);
}

// Loads the search window, which starts everything else, and shows it in
// front of the browser. False when the window was closed during its load; a
// close that waits for a rescan leaves it hidden until the shutdown completes.
bool startSearchWindow()
{
    platform::FormWindow& search = Forms::instance("SearchForm");
    QObject::connect(&search, &platform::FormWindow::unloaded, qApp, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    Forms::get("SearchForm");
    if (!Forms::isLoaded("SearchForm"))
        return false;
    if (Forms::isClosing())
        return true;
    search.Show();
    search.activateWindow();
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Brisca");
    QApplication::setApplicationVersion(versionText());
    QApplication::setQuitOnLastWindowClosed(false);

    platform::SettingsStore settings(platform::SettingsStore::defaultPath());
    platform::FileSystem fileSystem(platform::DriveTable::fromSystem(settings));
    platform::QtInteraction interaction;
    platform::installSettingsStore(&settings);
    platform::installFileSystem(&fileSystem);
    platform::installInteraction(&interaction);
    platform::installProgramFolder(QCoreApplication::applicationDirPath());
    platform::DesktopShell shell(settings);
    platform::installShell(&shell);

    // The whole argument text names one listing file.
    registerForms(QCoreApplication::arguments().mid(1).join(u' '));
    const int result = startSearchWindow() ? QApplication::exec() : 0;
    // Whatever is still open ends with the program.
    Forms::reset();
    return result;
}

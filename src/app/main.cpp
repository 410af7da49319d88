// The program starts with the search window's load and ends when the search
// window's unload has completed.

#include "app/FormRegistry.h"
#include "app/StartSearchWindow.h"
#include "platform/FileSystem.h"
#include "platform/Forms.h"
#include "platform/QtInteraction.h"
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

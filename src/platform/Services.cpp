#include "platform/Services.h"

#include "platform/FileSystem.h"

#include <stdexcept>

namespace platform {

namespace {

SettingsStore* installedStore = nullptr;
FileSystem* installedFileSystem = nullptr;
Interaction* installedInteraction = nullptr;
QString installedProgramFolder;

template <typename Service>
Service& installed(Service* service, const char* what)
{
    if (!service)
        throw std::logic_error(std::string("platform service used before installation: ") + what);
    return *service;
}

}  // namespace

SettingsStore& settingsStore() { return installed(installedStore, "settings store"); }
FileSystem& fileSystem() { return installed(installedFileSystem, "file system"); }
Interaction& interaction() { return installed(installedInteraction, "interaction"); }

QString programHostFolder()
{
    if (installedProgramFolder.isEmpty())
        throw std::logic_error("platform service used before installation: program folder");
    return installedProgramFolder;
}

// windowsPath() ends in a backslash only at a drive's root ("C:\"), which is
// what App.Path gives there too.
QString programFolder() { return fileSystem().windowsPath(programHostFolder()); }

void installSettingsStore(SettingsStore* store) { installedStore = store; }
void installFileSystem(FileSystem* fileSystem) { installedFileSystem = fileSystem; }
void installInteraction(Interaction* interaction) { installedInteraction = interaction; }
void installProgramFolder(const QString& hostFolder) { installedProgramFolder = hostFolder; }

}  // namespace platform

#pragma once
// The platform services the program reaches from anywhere, like the classic
// runtime's App object: the settings store, the file system over the drive
// table, the modal-interaction seam and the program folder. main() installs
// the real ones; tests install their own (tests/support/TestEnvironment.h).

#include <QString>

namespace platform {

class SettingsStore;
class FileSystem;
class Interaction;

SettingsStore& settingsStore();
FileSystem& fileSystem();
Interaction& interaction();
// The program's folder as a Windows path without a trailing backslash
// (App.Path), for example "C:\opt\brisca\bin".
QString programFolder();
// The same folder as a host path.
QString programHostFolder();

// The services are owned by the caller and must outlive their use.
void installSettingsStore(SettingsStore* store);
void installFileSystem(FileSystem* fileSystem);
void installInteraction(Interaction* interaction);
void installProgramFolder(const QString& hostFolder);

}  // namespace platform

#pragma once
// A sandbox for one test: a temporary folder holding the settings file, the
// program folder and any folders the test maps as drives, installed as the
// platform services for the test's lifetime. Dialogs are scripted, and the
// shell records its verbs instead of starting programs.

#include "platform/FileSystem.h"
#include "platform/Interaction.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <memory>

class TestEnvironment {
public:
    TestEnvironment();
    ~TestEnvironment();
    TestEnvironment(const TestEnvironment&) = delete;
    TestEnvironment& operator=(const TestEnvironment&) = delete;

    // Host path of the sandbox, and of a path inside it.
    QString root() const;
    QString hostPath(const QString& relative) const;
    // Windows path of a sandbox path (through c:, the host root).
    QString windowsPath(const QString& relative) const;

    // Makes the folder (inside the sandbox) and maps it as the drive.
    QString mapDrive(QChar letter, const QString& relativeFolder,
                     platform::DriveTable::Kind kind = platform::DriveTable::Kind::Fixed);

    // Writes or reads a file inside the sandbox, making its folders. The path
    // is host text (platform::hostText), so it may name bytes that are not UTF-8.
    void writeFile(const QString& relative, const QByteArray& bytes) const;
    QByteArray readFile(const QString& relative) const;

    // The program folder: "program" in the sandbox, holding copies of data/.
    QString programHostFolder() const;

    platform::SettingsStore& settings() { return *settings_; }
    platform::FileSystem& fs() { return *fs_; }
    platform::ScriptedInteraction& dialogs() { return interaction_; }
    platform::RecordingShell& shell() { return shell_; }

private:
    QTemporaryDir dir_;
    std::unique_ptr<platform::SettingsStore> settings_;
    std::unique_ptr<platform::FileSystem> fs_;
    platform::ScriptedInteraction interaction_;
    platform::RecordingShell shell_;
};

#pragma once
// The browser window as a benchmark drives it: the platform services of a
// sandbox (settings in a temporary folder, c: the host root, scripted
// dialogs), the browser registered and loaded, one thread for the pictures.

#include "browser/Browser.h"
#include "platform/FileSystem.h"
#include "platform/Forms.h"
#include "platform/Interaction.h"
#include "platform/Services.h"
#include "platform/SettingsStore.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QThreadPool>

class OffscreenBrowser {
public:
    // `drives` adds to c:, the host root.
    explicit OffscreenBrowser(platform::DriveTable drives = {})
        : settings_(sandbox_.filePath("settings.ini")), files_(withHostRoot(std::move(drives)))
    {
        QThreadPool::globalInstance()->setMaxThreadCount(1);
        platform::installSettingsStore(&settings_);
        platform::installFileSystem(&files_);
        platform::installInteraction(&dialogs_);
        platform::installProgramFolder(QCoreApplication::applicationDirPath());
        platform::Forms::registerForm("Browser", [] { return new Browser; });
    }
    ~OffscreenBrowser() { platform::Forms::reset(); }

    Browser& browser() { return platform::Forms::get<Browser>("Browser"); }
    platform::FileSystem& files() { return files_; }
    platform::ScriptedInteraction& dialogs() { return dialogs_; }

private:
    static platform::DriveTable withHostRoot(platform::DriveTable drives)
    {
        drives.mapFolder(u'c', "/");
        return drives;
    }

    QTemporaryDir sandbox_;
    platform::SettingsStore settings_;
    platform::FileSystem files_;
    platform::ScriptedInteraction dialogs_;
};

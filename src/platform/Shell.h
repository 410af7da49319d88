#pragma once
// The desktop's shell verbs. "open" runs the desktop's opener (xdg-open) on a
// file or a folder; "enqueue" hands a sound file to the audio player's enqueue
// command, taken from the settings store. Results follow the classic shell's
// convention: greater than 32 is success.

#include <QString>
#include <QStringList>
#include <vector>

namespace platform {

class SettingsStore;

namespace shellresult {
inline constexpr int Success = 42;
inline constexpr int FileNotFound = 2;
inline constexpr int PathNotFound = 3;
inline constexpr int NoAssociation = 31;
}  // namespace shellresult

class Shell {
public:
    virtual ~Shell() = default;
    // `file` and `directory` are Windows paths; `showCommand` is passed on as given.
    virtual int execute(const QString& verb, const QString& file, const QString& parameters,
                        const QString& directory, int showCommand) = 0;
};

// Starts real programs, detached.
class DesktopShell : public Shell {
public:
    // The enqueue command is read from `store` (application "Kest Velmora",
    // section "Shell", key "EnqueueCommand"): a program and its arguments,
    // with "%f" standing for the file. The default suits Audacious.
    explicit DesktopShell(const SettingsStore& store);
    int execute(const QString& verb, const QString& file, const QString& parameters,
                const QString& directory, int showCommand) override;

    static QString defaultEnqueueCommand();

private:
    QString enqueueCommand_;
};

// Records every call and launches nothing (tests).
class RecordingShell : public Shell {
public:
    struct Call {
        QString verb, file, parameters, directory;
        int showCommand;
    };
    int execute(const QString& verb, const QString& file, const QString& parameters,
                const QString& directory, int showCommand) override;

    std::vector<Call> calls;
    int result = shellresult::Success;
};

Shell& shell();
void installShell(Shell* shell);

// Splits a command line into program and arguments, honouring double quotes,
// and puts `file` in place of every "%f" (appended when there is none).
QStringList expandCommand(const QString& commandLine, const QString& file);

}  // namespace platform

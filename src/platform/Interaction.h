#pragma once
// Every message box, question and open-file dialog goes through one seam. The
// real one shows Qt dialogs (QtInteraction.h, apart so that code without
// windows needs no Qt Widgets); tests install ScriptedInteraction, which
// records each text and answers as told, so no test ever blocks on a modal
// dialog.
// A message box with an empty title shows the application's name (which the
// search window sets); ScriptedInteraction records that title too.

#include <QString>
#include <QStringList>
#include <deque>
#include <optional>
#include <vector>

class QWidget;

namespace platform {

enum class MsgButtons { Ok, OkCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel };
enum class MsgIcon { None, Critical, Question, Exclamation, Information };
// Values as the classic runtime returns them.
enum class MsgResult { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

struct OpenFileRequest {
    QString title;
    QString initDir;     // a Windows path
    QString filter;      // "Text files (*.txt)|*.txt" style pairs
    QString defaultExt;
    QString fileName;    // proposed name
    QWidget* owner = nullptr;
};

struct OpenFileResult {
    QString fileName;   // the chosen file as a Windows path
    QString fileTitle;  // its name without the folder
};

class Interaction {
public:
    virtual ~Interaction() = default;
    // The title, when empty, is the application's title.
    virtual MsgResult msgBox(const QString& prompt, MsgButtons buttons = MsgButtons::Ok,
                             MsgIcon icon = MsgIcon::None, const QString& title = {},
                             QWidget* owner = nullptr) = 0;
    // nullopt when the user cancels.
    virtual std::optional<OpenFileResult> showOpen(const OpenFileRequest& request) = 0;
};

// The buttons of a message box, in the order shown; the first is the default.
std::vector<MsgResult> buttonsOf(MsgButtons buttons);
// The title a message box shows: the application's when `title` is empty.
QString messageTitle(const QString& title);

// Records every message and dialog; answers from queues. A message box with no
// queued answer gets its first button (Ok, Abort, Yes, Retry); an open-file
// dialog with no queued answer is cancelled.
class ScriptedInteraction : public Interaction {
public:
    struct Message {
        QString prompt;
        MsgButtons buttons;
        MsgIcon icon;
        QString title;
    };

    MsgResult msgBox(const QString& prompt, MsgButtons buttons, MsgIcon icon,
                     const QString& title, QWidget* owner) override;
    std::optional<OpenFileResult> showOpen(const OpenFileRequest& request) override;

    void answerNext(MsgResult result) { answers_.push_back(result); }
    void chooseNextFile(std::optional<OpenFileResult> result) { files_.push_back(std::move(result)); }

    const std::vector<Message>& messages() const { return messages_; }
    QStringList prompts() const;
    const std::vector<OpenFileRequest>& openRequests() const { return openRequests_; }
    void clear();

private:
    std::vector<Message> messages_;
    std::vector<OpenFileRequest> openRequests_;
    std::deque<MsgResult> answers_;
    std::deque<std::optional<OpenFileResult>> files_;
};

}  // namespace platform

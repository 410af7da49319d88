#include "platform/Interaction.h"

#include <QCoreApplication>

namespace platform {

std::vector<MsgResult> buttonsOf(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::Ok: return {MsgResult::Ok};
    case MsgButtons::OkCancel: return {MsgResult::Ok, MsgResult::Cancel};
    case MsgButtons::AbortRetryIgnore: return {MsgResult::Abort, MsgResult::Retry, MsgResult::Ignore};
    case MsgButtons::YesNoCancel: return {MsgResult::Yes, MsgResult::No, MsgResult::Cancel};
    case MsgButtons::YesNo: return {MsgResult::Yes, MsgResult::No};
    case MsgButtons::RetryCancel: return {MsgResult::Retry, MsgResult::Cancel};
    }
    return {MsgResult::Ok};
}

QString messageTitle(const QString& title)
{
    return title.isEmpty() ? QCoreApplication::applicationName() : title;
}

MsgResult ScriptedInteraction::msgBox(const QString& prompt, MsgButtons buttons, MsgIcon icon,
                                      const QString& title, QWidget*)
{
    messages_.push_back({prompt, buttons, icon, messageTitle(title)});
    if (answers_.empty())
        return buttonsOf(buttons).front();
    const MsgResult answer = answers_.front();
    answers_.pop_front();
    return answer;
}

std::optional<OpenFileResult> ScriptedInteraction::showOpen(const OpenFileRequest& request)
{
    openRequests_.push_back(request);
    if (files_.empty())
        return std::nullopt;
    std::optional<OpenFileResult> chosen;
    chosen.swap(files_.front());
    files_.pop_front();
    return chosen;
}

QStringList ScriptedInteraction::prompts() const
{
    QStringList texts;
    for (const Message& message : messages_)
        texts += message.prompt;
    return texts;
}

void ScriptedInteraction::clear()
{
    messages_.clear();
    openRequests_.clear();
    answers_.clear();
    files_.clear();
}

}  // namespace platform

#pragma once
// The real dialogs behind the interaction seam: Qt message boxes and file
// dialogs.

#include "platform/Interaction.h"

namespace platform {

// Shows real Qt dialogs.
class QtInteraction : public Interaction {
public:
    MsgResult msgBox(const QString& prompt, MsgButtons buttons, MsgIcon icon,
                     const QString& title, QWidget* owner) override;
    std::optional<OpenFileResult> showOpen(const OpenFileRequest& request) override;
};

}  // namespace platform

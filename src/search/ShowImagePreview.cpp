#include "search/ShowImagePreview.h"

#include "platform/Forms.h"
#include "platform/Interaction.h"
#include "platform/PictureLoader.h"
#include "platform/Pump.h"
#include "platform/Services.h"
#include "runtime/RuntimeError.h"
#include "search/ImgPre.h"

#include <functional>

namespace {

constexpr int MaxFailures = 1000;

// Runs the steps of one preview, counting failures over all of them.
class PreviewSteps {
public:
    // Runs `step` until it succeeds (true) or the call has counted its last
    // failure (false, after the message). Once the program is closing no
    // window may be loaded again, and the preview ends quietly (false).
    bool run(const std::function<void(ImgPre&)>& step)
    {
        while (!platform::Forms::isClosing()) {
            try {
                // Fetched anew each time: the user may close the window while
                // messages are pumped, and the next step loads it again.
                step(platform::Forms::get<ImgPre>(ImgPreFormName));
                return true;
            } catch (const runtime::RuntimeError& error) {
                platform::doEvents();
                if (++failures_ >= MaxFailures) {
                    platform::interaction().msgBox(QStringLiteral("Error:") + error.description());
                    return false;
                }
            }
        }
        return false;
    }

private:
    int failures_ = 0;
};

QString fileNameOf(const QString& path) { return path.mid(path.lastIndexOf(u'\\') + 1); }

}  // namespace

void ShowImagePreview(const QString& path)
{
    PreviewSteps steps;
    if (!steps.run([&](ImgPre& preview) { preview.setPicture(platform::LoadPicture(path)); }))
        return;
    if (!steps.run([&](ImgPre& preview) {
            preview.setWindowTitle(QStringLiteral("Brisca Image Preview: ") + fileNameOf(path));
        }))
        return;
    platform::doEvents();
    // Showing makes the preview the active window, and its activation fits
    // the new picture even when the window was open already.
    steps.run([](ImgPre& preview) {
        preview.Show();
        preview.activateWindow();
    });
}

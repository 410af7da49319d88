#pragma once
// The program's windows, one instance of each, created and loaded on first use
// from factories that main() registers (the classic forms collection). Code
// that must show, unload or test another subsystem's window names it here and
// never includes that window's header.

#include "platform/FormWindow.h"

#include <QString>
#include <functional>

namespace platform {

class Forms {
public:
    using Factory = std::function<FormWindow*()>;
    // Shows a modal window and returns when the user is done with it.
    using ModalRunner = std::function<void(FormWindow& form, QWidget* owner)>;

    static void registerForm(const QString& name, Factory factory);
    // The loaded instance, created and loaded now when there is none. A name
    // with no factory raises 91.
    static FormWindow& get(const QString& name);
    template <typename T>
    static T& get(const QString& name) { return dynamic_cast<T&>(get(name)); }
    static bool isLoaded(const QString& name);
    // Unloads the window when it is loaded; true when it is gone afterwards.
    static bool unload(const QString& name);

    // Replaces how modal windows are run (tests script them). The default runs
    // a local event loop until the window is hidden or unloaded.
    static void setModalRunner(ModalRunner runner);
    static void runModal(FormWindow& form, QWidget* owner);

    // Unloads every window and forgets the factories (between tests).
    static void reset();
};

}  // namespace platform

#pragma once
// The program's windows, one instance of each, created and loaded on first use
// from factories that main() registers (the classic forms collection). Code
// that must show, unload or test another subsystem's window names it here and
// never includes that window's header.
//
// Once the program is closing (setClosing), a window that is not loaded is
// never loaded again: get() of it raises 91, so a late reference during the
// shutdown cannot bring back a window that was already unloaded. Code that may
// run at that time asks find() instead.

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
    // with no factory, any window not there while the program is closing, or
    // a window closed during its own load raises 91.
    static FormWindow& get(const QString& name);
    template <typename T>
    static T& get(const QString& name) { return dynamic_cast<T&>(get(name)); }
    // The instance, created now when there is none but not loaded: setting a
    // window's public member before showing it does not run its Form_Load
    // (the first Show or get() does). Raises as get() does.
    static FormWindow& instance(const QString& name);
    // The loaded instance, or nullptr; never creates or loads.
    static FormWindow* find(const QString& name);
    static bool isLoaded(const QString& name);
    // Unloads the window when it is there; true when it is gone afterwards.
    // A name with no window (or no factory) is left alone.
    static bool unload(const QString& name);

    static void setClosing(bool closing);
    static bool isClosing();

    // Replaces how modal windows are run (tests script them); an empty runner
    // restores the default, which waits in a local event loop until the window
    // is hidden or unloaded.
    static void setModalRunner(ModalRunner runner);
    static void runModal(FormWindow& form, QWidget* owner);

    // Ends every loaded window at once, without its Form_Unload (as the
    // program's end does), forgets the factories and restores the defaults.
    static void reset();
};

}  // namespace platform

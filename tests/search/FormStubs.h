#pragma once
// Stand-ins for the windows the search window opens and closes, recording
// every load, show, modal run and unload in one shared log, in order.

#include "platform/Forms.h"

#include <QShowEvent>
#include <QStringList>
#include <functional>

class StubForm : public platform::FormWindow {
public:
    static inline QStringList log;

    explicit StubForm(QString name) : name_(std::move(name)) {}

    // Runs inside Form_Unload (a browser that unloads the search window in turn).
    std::function<void(bool& cancel)> onUnload;

protected:
    void Form_Load() override
    {
        const QString address = property("StartingAddress").toString();
        log << name_ + " load" + (address.isEmpty() ? QString() : " at " + address);
    }
    void Form_Unload(bool& cancel) override
    {
        log << name_ + " unload";
        if (onUnload)
            onUnload(cancel);
    }
    void showEvent(QShowEvent* event) override
    {
        FormWindow::showEvent(event);
        log << name_ + (isModal() ? " modal" : " show");
    }

private:
    QString name_;
};

// Registers a stub under each name, and a modal runner that closes every modal
// window at once, after `onModal` (which may act as the user would).
inline void registerStubForms(const QStringList& names,
                              std::function<void(platform::FormWindow&, QWidget* owner)> onModal = {})
{
    StubForm::log.clear();
    for (const QString& name : names)
        platform::Forms::registerForm(name, [name] { return new StubForm(name); });
    platform::Forms::setModalRunner([onModal](platform::FormWindow& form, QWidget* owner) {
        if (onModal)
            onModal(form, owner);
        form.Hide();
    });
}

inline const QStringList OpenedWindows = {"SelectDrive", "Browser", "ImgPre", "frmBrowser", "frmSplash",
                                          "ListOptions", "LocalLoc", "Progress"};

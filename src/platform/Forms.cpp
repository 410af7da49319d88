#include "platform/Forms.h"

#include "runtime/RuntimeError.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QMap>
#include <QPointer>

namespace platform {

namespace {

struct Registry {
    QMap<QString, Forms::Factory> factories;
    QMap<QString, QPointer<FormWindow>> windows;  // created, and not unloaded yet
    Forms::ModalRunner modalRunner;
    bool closing = false;
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

void runLocalLoop(FormWindow& form, QWidget*)
{
    if (!form.isVisible() || form.isUnloaded())
        return;
    QEventLoop loop;
    QObject::connect(&form, &FormWindow::hidden, &loop, &QEventLoop::quit);
    QObject::connect(&form, &FormWindow::unloaded, &loop, &QEventLoop::quit);
    QObject::connect(&form, &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace

void Forms::registerForm(const QString& name, Factory factory)
{
    registry().factories.insert(name, std::move(factory));
}

FormWindow* Forms::find(const QString& name)
{
    FormWindow* form = registry().windows.value(name);
    return form && form->isLoaded() ? form : nullptr;
}

FormWindow& Forms::instance(const QString& name)
{
    Registry& forms = registry();
    if (FormWindow* form = forms.windows.value(name); form && !form->isUnloaded())
        return *form;
    const auto factory = forms.factories.constFind(name);
    if (factory == forms.factories.constEnd() || forms.closing)
        runtime::raise(runtime::err::ObjectVariableNotSet);
    FormWindow* form = (*factory)();
    form->setObjectName(name);
    forms.windows.insert(name, form);
    QObject::connect(form, &FormWindow::unloaded, form, [name, form] {
        if (registry().windows.value(name) == form)
            registry().windows.remove(name);
    });
    return *form;
}

FormWindow& Forms::get(const QString& name)
{
    QPointer<FormWindow> form(&instance(name));
    form->load();
    // A window closed during its own load is gone: there is nothing to hand back.
    if (!form || form->isUnloaded())
        runtime::raise(runtime::err::ObjectVariableNotSet);
    return *form;
}

bool Forms::isLoaded(const QString& name) { return find(name) != nullptr; }

bool Forms::unload(const QString& name)
{
    FormWindow* form = registry().windows.value(name);
    return !form || form->Unload();
}

void Forms::setClosing(bool closing) { registry().closing = closing; }
bool Forms::isClosing() { return registry().closing; }

void Forms::setModalRunner(ModalRunner runner) { registry().modalRunner = std::move(runner); }

void Forms::runModal(FormWindow& form, QWidget* owner)
{
    if (const ModalRunner& runner = registry().modalRunner)
        runner(form, owner);
    else
        runLocalLoop(form, owner);
}

void Forms::reset()
{
    Registry& forms = registry();
    const auto loaded = forms.windows.values();
    forms.windows.clear();
    for (const QPointer<FormWindow>& form : loaded)
        delete form.data();
    // Windows unloaded earlier are waiting for their deferred deletion.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    forms.factories.clear();
    forms.modalRunner = nullptr;
    forms.closing = false;
}

}  // namespace platform

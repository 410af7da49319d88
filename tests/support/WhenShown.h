#pragma once
// Answers a real dialog from inside its own event loop: a filter waits for the
// dialog's show event and acts on it once the dialog runs.

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <functional>
#include <utility>

// Calls act with the first dialog of type T shown while it lives.
template <typename T>
class WhenShown : public QObject {
public:
    explicit WhenShown(std::function<void(T&)> act) : act_(std::move(act)) { qApp->installEventFilter(this); }
    ~WhenShown() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        T* dialog = qobject_cast<T*>(watched);
        if (dialog && event->type() == QEvent::Show && act_) {
            QMetaObject::invokeMethod(dialog, [dialog, act = std::exchange(act_, {})] { act(*dialog); },
                                      Qt::QueuedConnection);
        }
        return false;
    }

private:
    std::function<void(T&)> act_;
};

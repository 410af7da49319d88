#pragma once
// A control a window holds by name, as the zip and transfer controls are:
// made on first use as a direct child of the window, found by its name after.

#include <QObject>
#include <QString>

namespace platform {

template <typename Control>
Control& namedChild(QObject& window, const QString& name)
{
    if (auto* existing = window.findChild<Control*>(name, Qt::FindDirectChildrenOnly))
        return *existing;
    auto* control = new Control(&window);
    control->setObjectName(name);
    return *control;
}

}  // namespace platform

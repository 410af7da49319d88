#include "platform/Pump.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace platform {

void doEvents() { QCoreApplication::processEvents(); }

void waitForEvents() { QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents); }

}  // namespace platform

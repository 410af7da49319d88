#include "platform/Pump.h"

#include <QCoreApplication>

namespace platform {

void doEvents() { QCoreApplication::processEvents(); }

}  // namespace platform

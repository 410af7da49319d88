#pragma once
// File dialog filters as the program writes them, "Description|*.a;*.b|..."
// pairs, turned into Qt's "Description (*.a *.b);;..." form.

#include <QString>

namespace platform {

QString toQtFileFilter(const QString& filter);

}  // namespace platform

// The folder thumbnail run.

#include "browser/Browser.h"

void Browser::PreviewFolder(QString, QString, QString, QString, std::int16_t, QString) {}

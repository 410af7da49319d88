#include "browser/DistribSettings.h"

DistribSettings::DistribSettings(QWidget* parent) : platform::FormWindow(parent) {}

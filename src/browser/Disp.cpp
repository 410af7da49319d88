#include "browser/Disp.h"

Disp::Disp(QWidget* parent) : platform::FormWindow(parent) {}

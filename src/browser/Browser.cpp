#include "browser/Browser.h"

Browser::Browser(QWidget* parent) : platform::FormWindow(parent) {}

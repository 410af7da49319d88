#pragma once
// The image browser window: a folder's pictures as thumbnails.

#include "platform/FormWindow.h"

class Browser : public platform::FormWindow {
    Q_OBJECT
public:
    explicit Browser(QWidget* parent = nullptr);
};

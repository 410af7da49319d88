#pragma once
// The batch progress window of catalogue and distribution builds.

#include "platform/FormWindow.h"

class Disp : public platform::FormWindow {
    Q_OBJECT
public:
    explicit Disp(QWidget* parent = nullptr);
};

#pragma once
// The distribution settings dialog.

#include "platform/FormWindow.h"

class DistribSettings : public platform::FormWindow {
    Q_OBJECT
public:
    explicit DistribSettings(QWidget* parent = nullptr);
};

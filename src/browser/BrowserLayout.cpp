#include "browser/BrowserLayout.h"

#include <cmath>

double previewGridHeight(double rowHeightMin, int rows, double clientHeight)
{
    const double need = std::round((rowHeightMin + 20) * rows);
    return need < clientHeight - 380 ? need : clientHeight - 380;
}

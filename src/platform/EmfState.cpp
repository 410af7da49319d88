#include "platform/EmfState.h"

#include <cmath>

namespace platform::emf {

namespace {

enum MapMode { Text = 1, LoMetric, HiMetric, LoEnglish, HiEnglish, Twips, Isotropic, Anisotropic };

// Millimetres in one logical unit of a fixed mapping mode.
double millimetresPerUnit(int mode)
{
    switch (mode) {
    case LoMetric: return 0.1;
    case HiMetric: return 0.01;
    case LoEnglish: return 0.254;
    case HiEnglish: return 0.0254;
    case Twips: return 25.4 / 1440;
    default: return 0;
    }
}

Brush solidBrush(ColorRef color) { return Brush{0, color, 0, {}}; }
Pen solidPen(ColorRef color) { return Pen{0, 0, true, color}; }
Pen nullPen() { return Pen{5, 0, true, 0}; }

}  // namespace

QTransform DeviceContext::pageToDevice() const
{
    double scaleX = viewportExtent.width() / windowExtent.width();
    double scaleY = viewportExtent.height() / windowExtent.height();
    if (mapMode == Isotropic) {
        // Both axes take the smaller scale, each keeping its direction.
        const double scale = std::min(std::abs(scaleX), std::abs(scaleY));
        scaleX = std::copysign(scale, scaleX);
        scaleY = std::copysign(scale, scaleY);
    }
    return QTransform(scaleX, 0, 0, scaleY, viewportOrigin.x() - windowOrigin.x() * scaleX,
                      viewportOrigin.y() - windowOrigin.y() * scaleY);
}

void DeviceContext::setMapMode(int mode, QSizeF devicePixelsPerMillimetre)
{
    if (mode < Text || mode > Anisotropic)
        return;
    mapMode = mode;
    if (mode == Isotropic || mode == Anisotropic)
        return;
    // The fixed modes: y runs up in all but the text mode.
    const double millimetres = millimetresPerUnit(mode);
    windowExtent = QSizeF(1, 1);
    viewportExtent = mode == Text ? QSizeF(1, 1)
                                  : QSizeF(millimetres * devicePixelsPerMillimetre.width(),
                                           -millimetres * devicePixelsPerMillimetre.height());
}

bool DeviceContext::extentsSettable() const { return mapMode == Isotropic || mapMode == Anisotropic; }

QColor colorOf(ColorRef color, const Palette& palette)
{
    if ((color & 0xFF000000) == PaletteIndexFlag) {
        const qsizetype index = color & 0xFFFF;
        return index < palette.size() ? QColor::fromRgb(palette[index]) : QColor(Qt::black);
    }
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

std::optional<Object> stockObject(std::uint32_t index)
{
    switch (index & 0x7FFFFFFF) {
    case 0: return solidBrush(0xFFFFFF);
    case 1: return solidBrush(0xC0C0C0);
    case 2: return solidBrush(0x808080);
    case 3: return solidBrush(0x404040);
    case 4: return solidBrush(0x000000);
    case 5: return Brush{1, 0, 0, {}};
    case 6: return solidPen(0xFFFFFF);
    case 7: return solidPen(0x000000);
    case 8: return nullPen();
    case 10:
    case 11:
    case 16: return Font{QStringLiteral("Courier"), 12, 0, 0, 400, false, false, false, 0, 0x31};
    case 12:
    case 13:
    case 14:
    case 17: return Font{QStringLiteral("Arial"), 12, 0, 0, 400, false, false, false, 0, 0x22};
    case 15: return Palette{};
    case 18: return solidBrush(0xFFFFFF);  // the DC brush: white until set
    case 19: return solidPen(0x000000);    // the DC pen: black until set
    default: return std::nullopt;
    }
}

}  // namespace platform::emf

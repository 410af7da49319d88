#include "search/PreviewFit.h"

#include "runtime/Numbers.h"

#include <algorithm>

namespace {

constexpr double MinimumBoxSide = 120;
constexpr double Margin = 60;

}  // namespace

std::optional<QSizeF> fitPreviewPicture(QSizeF box, QSize picture)
{
    const double w = box.width();
    const double h = box.height();
    if (picture.width() <= 0 || picture.height() <= 0)
        return std::nullopt;
    if (!(w > MinimumBoxSide && h > MinimumBoxSide))
        return std::nullopt;

    const double r1 = static_cast<double>(picture.width()) / picture.height();
    const double r2 = static_cast<double>(picture.height()) / picture.width();
    // A box higher than wide fits to the width only when the scaled height
    // stays inside it; any other box fits to the height only when the scaled
    // width stays inside it.
    const bool fitToWidth = w < h ? w * r2 < h : !(h * r1 < w);
    const QSizeF shown = fitToWidth ? QSizeF(w - Margin, w * r2 - Margin)
                                    : QSizeF(h * r1 - Margin, h - Margin);
    return QSizeF(std::max(0.0, shown.width()), std::max(0.0, shown.height()));
}

QPoint centrePreviewPicture(QSizeF inner, QSizeF shown)
{
    const auto half = [](double difference) {
        return static_cast<int>(runtime::roundHalfEven(difference) / 2);
    };
    return {half(inner.width() - shown.width()), half(inner.height() - shown.height())};
}

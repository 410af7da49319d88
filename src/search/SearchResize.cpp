#include "search/SearchResize.h"

#include "runtime/Numbers.h"

std::optional<FolderNameWidths> folderNameWidths(double scaleWidth, double matchWidth,
                                                 double sizeWidth, double dateWidth)
{
    using runtime::roundHalfEven;
    const double fixed = static_cast<double>(roundHalfEven(matchWidth) + roundHalfEven(sizeWidth) +
                                             roundHalfEven(dateWidth));
    const auto rest = static_cast<double>(roundHalfEven(scaleWidth - fixed - 340));
    if (rest < 0)
        return std::nullopt;
    return FolderNameWidths{0.28 * rest, 0.72 * rest};
}

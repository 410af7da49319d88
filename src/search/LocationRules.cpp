#include "search/LocationRules.h"

#include "search/ListSearch.h"

namespace {

// The characters a description cannot hold: it names the location's listing file.
constexpr QStringView ForbiddenInDescription = u"/?\\:|*";

bool holdsAnyOf(const QString& text, QStringView characters)
{
    for (const QChar c : characters) {
        if (text.contains(c))
            return true;
    }
    return false;
}

}  // namespace

std::optional<QString> locationRefusal(const QString& description, const QString& path, int rowCount)
{
    if (path.size() < 3)
        return QStringLiteral("The Path must be at lease 3 characters long. (ex: C:\\)");
    if (description.isEmpty() || holdsAnyOf(description, ForbiddenInDescription))
        return QStringLiteral("Description must not be left blank or contain the characters /?\\:|*");
    if (description.contains(u'"') || path.contains(u'"'))
        return QStringLiteral("Description and Path must not contain double quotes (\").");
    if (rowCount >= MaxLocations)
        return QStringLiteral("The search list is full: it holds at most %1 locations.").arg(MaxLocations);
    return std::nullopt;
}

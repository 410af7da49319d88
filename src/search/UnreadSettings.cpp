#include "search/UnreadSettings.h"

#include "search/ListSearch.h"
#include "search/Settings.h"

void UnreadSettings::loadEnded()
{
    unreadTexts_.clear();
    for (const auto& setting : settingTexts()) {
        if (!keysRead.contains(setting.first))
            unreadTexts_ << setting;
    }
    if (!locationsRead)
        unreadLocations_ = currentLocations();
}

bool UnreadSettings::maySave(const QString& key, const QString& text) const
{
    for (const auto& [unreadKey, textAtLoad] : unreadTexts_) {
        if (unreadKey == key)
            return text != textAtLoad;
    }
    return true;
}

bool UnreadSettings::maySaveLocations() const
{
    return !unreadLocations_ || *unreadLocations_ != currentLocations();
}

QStringList UnreadSettings::currentLocations()
{
    QStringList rows;
    for (int i = 1; i <= ListSearch.LocCount; ++i)
        rows << ListSearch.Locations[static_cast<std::size_t>(i)][1] << ListSearch.Locations[static_cast<std::size_t>(i)][2];
    return rows;
}

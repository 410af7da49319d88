#pragma once
// What a start that ended early (a short defaults.txt, a 256th location) left
// unread of the stored settings and of locations.txt. The close writes back
// such a setting, or the location list, only when the run has changed it
// since the load ended, so the user's stored values survive a start that
// never read them.

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>

class UnreadSettings {
public:
    // Filled during the load: the settings keys read so far, and whether the
    // location list was read whole (or there was none).
    QStringList keysRead;
    bool locationsRead = false;

    // At the end of the load, however it ended: keeps what the program holds
    // for each setting, and for the location list, that the load did not read.
    void loadEnded();

    // Whether the close may store this setting's text: it was read at start,
    // or it differs from what the program held for it when the load ended.
    bool maySave(const QString& key, const QString& text) const;
    bool maySaveLocations() const;

private:
    // Rows 1 to LocCount, each as its description and folder.
    static QStringList currentLocations();

    QList<std::pair<QString, QString>> unreadTexts_;
    std::optional<QStringList> unreadLocations_;
};

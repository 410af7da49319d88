#pragma once
// The per-user settings store: text values by application, section and key,
// kept in one INI file that survives between runs. Values are stored as typed,
// byte for byte (commas, quotes and blanks included).

#include <QMap>
#include <QString>

namespace platform {

class SettingsStore {
public:
    // The file need not exist yet; it is written on every save.
    explicit SettingsStore(QString iniPath);

    // The user's store: $XDG_CONFIG_HOME (or ~/.config) / "brisca" / "settings.ini".
    static QString defaultPath();

    QString get(const QString& application, const QString& section, const QString& key,
                const QString& defaultValue = {}) const;
    void save(const QString& application, const QString& section, const QString& key,
              const QString& value);

    const QString& path() const { return path_; }

private:
    QString path_;
};

}  // namespace platform

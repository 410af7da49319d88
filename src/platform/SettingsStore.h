#pragma once
// The per-user settings store: text values by application, section and key,
// kept in one INI file that survives between runs. Values are stored as typed,
// byte for byte (commas, quotes and blanks included). Names match ignoring case,
// as registry names do. The file is read at each call and replaced whole at
// each save, so a crash never leaves half a store behind.
//
// File format (UTF-8): a line "[application\section]" opens a section; each
// following "key=value" line holds one value, taken raw to the end of the line.
// A value holding a line break or beginning with a double quote is written
// quoted, with \\, \", \n and \r escapes. Blank lines and lines beginning
// with ";" are ignored. Names hold no line break, and keys no "=".

#include <QString>
#include <QStringList>

namespace platform {

class SettingsStore {
public:
    // The file need not exist yet; it is written on every save.
    explicit SettingsStore(QString iniPath);

    // The user's store: $XDG_CONFIG_HOME (or ~/.config) / "brisca" / "settings.ini".
    static QString defaultPath();

    QString get(const QString& application, const QString& section, const QString& key,
                const QString& defaultValue = {}) const;
    // Raises 75 when the file cannot be written.
    void save(const QString& application, const QString& section, const QString& key,
              const QString& value);
    // The section's keys as stored, in file order.
    QStringList keys(const QString& application, const QString& section) const;

    const QString& path() const { return path_; }

private:
    QString path_;
};

}  // namespace platform

#pragma once
// Reading and writing the settings keys and locations.txt in the forms and
// orders the program has always used. The window placement keys are applied
// by the search window itself (see readPlacement/writePlacement).

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <utility>

namespace platform {
class FormWindow;
}

struct WindowPlacement {
    float top = 0, left = 0, width = 0, height = 0;  // twips
};

// Reads "LocalFolder", "TextFile", "ArchiveFile", "WebServer", "JoinDate",
// "NickName", "OffLineDrive", "AutoPreview", "LastBrowsed" in that order, each
// defaulting to the variable's current value ("JoinDate" to now, "NickName",
// "OffLineDrive", "LastBrowsed" to "", "AutoPreview" to "False"). A value that
// does not convert takes the key's default; each key read is added to
// `keysRead` when one is given.
void ReadSettings(QStringList* keysRead = nullptr);
// The nine keys with their variables' texts as the store keeps them, in the
// order "LocalFolder", "TextFile", "ArchiveFile", "WebServer", "JoinDate",
// "NickName", "OffLineDrive", "LastBrowsed", "AutoPreview".
QList<std::pair<QString, QString>> settingTexts();
// Writes the nine keys in that order; with `mayWrite`, only those it passes.
void WriteSettings(const std::function<bool(const QString& key, const QString& text)>& mayWrite = {});

// Reads the four placement keys under the given prefix ("" for the search
// window, "B" for the browser) in the order Top, Left, Width, Height, applying
// each through `apply` as soon as it is read. `current` gives the defaults,
// which also stand in for a value that is no number.
enum class PlacementKey { Top, Left, Width, Height };
void readPlacement(const QString& prefix, const WindowPlacement& current,
                   const std::function<void(PlacementKey, float)>& apply);
void writePlacement(const QString& prefix, const WindowPlacement& placement);
// readPlacement applied to a window's outer top, left, width and height, its
// current placement giving the defaults.
void applyWindowPlacement(const QString& prefix, platform::FormWindow& window);

// locations.txt in LocalFolder: a missing file leaves the list unchanged; a
// 256th row raises 9 with 255 rows kept.
void ReadLocations();
void WriteLocations();

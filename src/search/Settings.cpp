#include "search/Settings.h"

#include "platform/FileSystem.h"
#include "platform/FormWindow.h"
#include "platform/Services.h"
#include "platform/SettingsStore.h"
#include "runtime/AnsiText.h"
#include "runtime/Numbers.h"
#include "runtime/RuntimeError.h"
#include "search/ListSearch.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <array>

namespace {

QString setting(const QString& key, const QString& defaultValue)
{
    return platform::settingsStore().get(SettingsApp, SettingsSection, key, defaultValue);
}

void saveSetting(const QString& key, const QString& value)
{
    platform::settingsStore().save(SettingsApp, SettingsSection, key, value);
}

// A stored value that cannot be read as its type (a hand-edited file, say)
// counts as missing: the default applies, and the next save replaces it.
template <typename Convert>
auto convertedOr(const QString& text, const QString& defaultText, Convert convert)
{
    try {
        return convert(text);
    } catch (const runtime::RuntimeError& error) {
        if (error.number() != runtime::err::TypeMismatch)
            throw;
        return convert(defaultText);
    }
}

// locations.txt is written in Windows-1252 as it always was. A list holding
// a character that code page lacks is written in UTF-8 after a byte-order
// mark instead, so that no row comes back changed; reading takes either form.
const QByteArray Utf8Mark(runtime::Utf8ByteOrderMark.data(), runtime::Utf8ByteOrderMark.size());

QString locationsHostPath()
{
    return platform::fileSystem().hostPath(ListSearch.LocalFolder + QStringLiteral("locations.txt"));
}

// The placement keys in reading and writing order, each after its prefix.
struct PlacementField {
    PlacementKey key;
    const char16_t* name;
    float WindowPlacement::*value;
};
constexpr std::array<PlacementField, 4> PlacementFields = {{
    {PlacementKey::Top, u"Top", &WindowPlacement::top},
    {PlacementKey::Left, u"Left", &WindowPlacement::left},
    {PlacementKey::Width, u"Width", &WindowPlacement::width},
    {PlacementKey::Height, u"Height", &WindowPlacement::height},
}};

}  // namespace

void ReadSettings(QStringList* keysRead)
{
    ListSearchModule& state = ListSearch;
    // A key counts as read once its value is in its variable.
    const auto read = [&](const QString& key, const QString& defaultValue, const auto& assign) {
        assign(setting(key, defaultValue));
        if (keysRead)
            *keysRead << key;
    };
    read(QStringLiteral("LocalFolder"), state.LocalFolder, [&](const QString& text) { state.LocalFolder = text; });
    read(QStringLiteral("TextFile"), state.TextFile, [&](const QString& text) { state.TextFile = text; });
    read(QStringLiteral("ArchiveFile"), state.ArchiveFile, [&](const QString& text) { state.ArchiveFile = text; });
    read(QStringLiteral("WebServer"), state.WebServer, [&](const QString& text) { state.WebServer = text; });
    const QString now = runtime::generalDateText(runtime::now());
    read(QStringLiteral("JoinDate"), now,
         [&](const QString& text) { state.JoinDate = convertedOr(text, now, runtime::cdate); });
    read(QStringLiteral("NickName"), {}, [&](const QString& text) { state.NickName = text; });
    read(QStringLiteral("OffLineDrive"), {}, [&](const QString& text) { state.OffLineDrive = text; });
    const QString notPreviewing = runtime::boolText(false);
    read(QStringLiteral("AutoPreview"), notPreviewing,
         [&](const QString& text) { state.AutoPreview = convertedOr(text, notPreviewing, runtime::cbool); });
    read(QStringLiteral("LastBrowsed"), {}, [&](const QString& text) { state.LastBrowsed = text; });
}

QList<std::pair<QString, QString>> settingTexts()
{
    const ListSearchModule& state = ListSearch;
    return {
        {QStringLiteral("LocalFolder"), state.LocalFolder},
        {QStringLiteral("TextFile"), state.TextFile},
        {QStringLiteral("ArchiveFile"), state.ArchiveFile},
        {QStringLiteral("WebServer"), state.WebServer},
        {QStringLiteral("JoinDate"), runtime::generalDateText(state.JoinDate)},
        {QStringLiteral("NickName"), state.NickName},
        {QStringLiteral("OffLineDrive"), state.OffLineDrive},
        {QStringLiteral("LastBrowsed"), state.LastBrowsed},
        {QStringLiteral("AutoPreview"), runtime::boolText(state.AutoPreview)},
    };
}

void WriteSettings(const std::function<bool(const QString& key, const QString& text)>& mayWrite)
{
    for (const auto& [key, text] : settingTexts()) {
        if (!mayWrite || mayWrite(key, text))
            saveSetting(key, text);
    }
}

void readPlacement(const QString& prefix, const WindowPlacement& current,
                   const std::function<void(PlacementKey, float)>& apply)
{
    for (const PlacementField& field : PlacementFields) {
        const QString currentText = runtime::singleText(current.*field.value);
        const QString text = setting(prefix + QString::fromUtf16(field.name), currentText);
        apply(field.key, convertedOr(text, currentText, runtime::csng));
    }
}

void applyWindowPlacement(const QString& prefix, platform::FormWindow& window)
{
    const WindowPlacement current{static_cast<float>(window.Top()), static_cast<float>(window.Left()),
                                  static_cast<float>(window.Width()), static_cast<float>(window.Height())};
    readPlacement(prefix, current, [&window](PlacementKey key, float twips) {
        switch (key) {
        case PlacementKey::Top: window.setTop(twips); break;
        case PlacementKey::Left: window.setLeft(twips); break;
        case PlacementKey::Width: window.setWidth(twips); break;
        case PlacementKey::Height: window.setHeight(twips); break;
        }
    });
}

void writePlacement(const QString& prefix, const WindowPlacement& placement)
{
    for (const PlacementField& field : PlacementFields)
        saveSetting(prefix + QString::fromUtf16(field.name), runtime::singleText(placement.*field.value));
}

// Each line holds one row. Reading a line at a time, rather than field after
// field across lines, keeps a line with a stray double quote from shifting
// the rows after it; a blank line holds no row.
void ReadLocations()
{
    const QString path = ListSearch.LocalFolder + QStringLiteral("locations.txt");
    if (!platform::fileSystem().fileExists(path))
        return;
    runtime::AnsiTextReader reader(locationsHostPath());
    bool utf8 = false;
    for (bool firstLine = true; !reader.atEnd(); firstLine = false) {
        QString line = reader.readLine();
        if (firstLine && line.startsWith(runtime::fromAnsi(Utf8Mark))) {
            utf8 = true;
            line.remove(0, Utf8Mark.size());
        }
        if (utf8)  // the line's bytes come back whole from the code page
            line = QString::fromUtf8(runtime::toAnsi(line));
        const QStringList fields = runtime::delimitedFields(line);
        if (fields.isEmpty())
            continue;
        if (ListSearch.LocCount == MaxLocations)
            runtime::raise(runtime::err::SubscriptOutOfRange);
        auto& row = ListSearch.Locations[static_cast<size_t>(++ListSearch.LocCount)];
        row[1] = fields.value(0);
        row[2] = fields.value(1);
    }
}

// The file is replaced whole or not at all: a full disk at close keeps the
// list written at the close before.
void WriteLocations()
{
    QString rows;
    for (int i = 1; i <= ListSearch.LocCount; ++i) {
        const auto& row = ListSearch.Locations[static_cast<size_t>(i)];
        rows += u'"' + row[1] + QStringLiteral("\",\"") + row[2] + QStringLiteral("\"\r\n");
    }
    QByteArray text = runtime::toAnsi(rows);
    if (runtime::fromAnsi(text) != rows)
        text = Utf8Mark + rows.toUtf8();
    const QString path = locationsHostPath();
    if (!QFileInfo(path).absoluteDir().exists())
        runtime::raise(runtime::err::PathNotFound);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        runtime::raise(runtime::err::PathFileAccessError);
}

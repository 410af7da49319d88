#include "platform/PathLookup.h"

#include "platform/DriveTable.h"
#include "runtime/RuntimeError.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace platform {

namespace {

bool isForbiddenInName(QChar c)
{
    return c.unicode() < 32 || QStringView(u"<>|\"*?:").contains(c);
}

bool isDriveLetter(QChar c)
{
    const QChar lower = c.toLower();
    return lower >= u'a' && lower <= u'z';
}

QString resolveBelow(const QString& root, const QStringList& components)
{
    QString exact = root;
    for (const QString& component : components)
        exact = joinHostPath(exact, component);
    if (QFileInfo::exists(exact))
        return exact;

    QString folder = root;
    for (qsizetype i = 0; i < components.size(); ++i) {
        const std::optional<QString> entry = findEntry(folder, components[i]);
        folder = joinHostPath(folder, entry.value_or(components[i]));
        if (!entry) {
            for (const QString& rest : components.mid(i + 1))
                folder = joinHostPath(folder, rest);
            break;
        }
    }
    return folder;
}

}  // namespace

std::optional<WindowsPathParts> splitWindowsPath(const QString& path)
{
    QString text = path;
    text.replace(u'/', u'\\');
    WindowsPathParts parts{QChar(u'c'), {}};
    if (text.size() >= 2 && text[1] == u':') {
        if (!isDriveLetter(text[0]))
            return std::nullopt;
        parts.drive = text[0].toLower();
        text.remove(0, 2);
    } else if (text.startsWith(QStringLiteral("\\\\"))) {
        return std::nullopt;
    }
    for (const QString& component : text.split(u'\\', Qt::SkipEmptyParts)) {
        if (std::any_of(component.begin(), component.end(), isForbiddenInName))
            return std::nullopt;
        if (component == u"..") {
            if (!parts.components.isEmpty())
                parts.components.removeLast();
        } else if (component != u".") {
            parts.components += component;
        }
    }
    return parts;
}

QString joinHostPath(const QString& folder, const QString& name)
{
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

std::optional<QString> findEntry(const QString& folder, const QString& name)
{
    if (QFileInfo::exists(joinHostPath(folder, name)))
        return name;
    const QStringList entries = QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return std::nullopt;
}

HostLocation locate(const DriveTable& drives, const QString& windowsPath, int notReadyError)
{
    const std::optional<WindowsPathParts> parts = splitWindowsPath(windowsPath);
    if (!parts)
        runtime::raise(runtime::err::BadFileNameOrNumber);
    const std::optional<QString> root = drives.root(parts->drive);
    if (!root)
        runtime::raise(notReadyError);
    if (parts->components.isEmpty())
        return {*root, {}, true};

    const QString parent = resolveBelow(*root, parts->components.mid(0, parts->components.size() - 1));
    const QString& last = parts->components.last();
    const std::optional<QString> entry = findEntry(parent, last);
    return {parent, entry.value_or(last), entry.has_value()};
}

}  // namespace platform

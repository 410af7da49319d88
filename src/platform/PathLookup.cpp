#include "platform/PathLookup.h"

#include "platform/DriveTable.h"
#include "platform/HostNames.h"
#include "platform/Wildcard.h"
#include "runtime/RuntimeError.h"

#include <QDir>
#include <algorithm>
#include <dirent.h>
#include <tuple>
#include <unistd.h>

namespace platform {

namespace {

bool isDriveLetter(QChar c)
{
    const QChar lower = c.toLower();
    return lower >= u'a' && lower <= u'z';
}

// The first sub-folder, in sorted order, whose name the pattern matches.
std::optional<QString> findFolderMatching(const QString& folder, const QString& pattern)
{
    const Wildcard wildcard(pattern);
    const HostFolder host(folder);
    std::optional<HostFolderEntry> best;
    for (const HostFolderEntry& entry : host.entries()) {
        if (wildcard.matches(entry.name) && (!best || inSearchOrder(entry.name, best->name)) &&
            host.kindOf(entry) == DT_DIR)
            best = entry;
    }
    return best ? std::optional(best->hostName) : std::nullopt;
}

QString currentHostFolder()
{
    char* folder = ::getcwd(nullptr, 0);
    const QString text = folder ? hostText(folder) : QDir::rootPath();
    ::free(folder);
    return text;
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
    } else {
        parts.relative = !text.startsWith(u'\\');
    }
    for (const QString& component : text.split(u'\\', Qt::SkipEmptyParts)) {
        if (component == u"..") {
            if (!parts.components.isEmpty())
                parts.components.removeLast();
        } else if (component != u".") {
            parts.components += component;
        }
    }
    return parts;
}

bool inSearchOrder(const QString& a, const QString& b)
{
    // A folder's sort compares many pairs of names, mostly alike at the start:
    // equal characters are passed over at once, ASCII is folded here, and from
    // the first other difference on Qt's case folding compares the names.
    const auto fold = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
    const QChar* x = a.constData();
    const QChar* y = b.constData();
    const QChar* const xEnd = x + std::min(a.size(), b.size());
    for (;; ++x, ++y) {
        std::tie(x, y) = std::mismatch(x, xEnd, y);
        if (x == xEnd)
            return a.size() != b.size() ? a.size() < b.size() : a < b;
        if (x->unicode() >= 0x80 || y->unicode() >= 0x80) {
            const int order = a.compare(b, Qt::CaseInsensitive);
            return order != 0 ? order < 0 : a < b;
        }
        if (fold(x->unicode()) != fold(y->unicode()))
            return fold(x->unicode()) < fold(y->unicode());
    }
}

QString joinHostPath(const QString& folder, const QString& name)
{
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

std::optional<QString> findEntry(const QString& folder, const QString& name)
{
    if (!name.contains(BackslashStandIn) && hostEntryExists(joinHostPath(folder, name)))
        return name;
    std::optional<HostFolderEntry> best;
    for (const HostFolderEntry& entry : HostFolder(folder).entries()) {
        if (entry.name == name)
            return entry.hostName;
        if (entry.name.compare(name, Qt::CaseInsensitive) == 0 && (!best || entry.name < best->name))
            best = entry;
    }
    return best ? std::optional(best->hostName) : std::nullopt;
}

QString resolveBelow(const QString& root, const QStringList& components)
{
    QString exact = root;
    for (const QString& component : components)
        exact = joinHostPath(exact, component);
    if (hostEntryExists(exact))
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

HostLocation locate(const DriveTable& drives, const QString& windowsPath, int notReadyError)
{
    const std::optional<WindowsPathParts> parts = splitWindowsPath(windowsPath);
    if (!parts)
        runtime::raise(runtime::err::BadFileNameOrNumber);
    std::optional<QString> root = parts->relative ? currentHostFolder() : drives.root(parts->drive);
    if (!root)
        runtime::raise(notReadyError);
    if (parts->components.isEmpty())
        return {*root, {}, true};

    const QString parent = resolveBelow(*root, parts->components.mid(0, parts->components.size() - 1));
    const QString& last = parts->components.last();
    const std::optional<QString> entry = findEntry(parent, last);
    return {parent, entry.value_or(last), entry.has_value()};
}

std::optional<QString> matchFolder(const DriveTable& drives, const QString& windowsPath)
{
    const std::optional<WindowsPathParts> parts = splitWindowsPath(windowsPath);
    const std::optional<QString> root =
        !parts ? std::nullopt : parts->relative ? currentHostFolder() : drives.root(parts->drive);
    if (!root)
        return std::nullopt;
    QString folder = *root;
    QString path = parts->relative ? QString() : parts->drive + QStringLiteral(":\\");
    for (const QString& component : parts->components) {
        std::optional<QString> entry = findEntry(folder, component);
        if (!entry && component.contains(u'?'))
            entry = findFolderMatching(folder, component);
        if (!entry)
            return std::nullopt;
        folder = joinHostPath(folder, *entry);
        path += drivePathNameOfHostText(*entry) + u'\\';
    }
    return path;
}

}  // namespace platform

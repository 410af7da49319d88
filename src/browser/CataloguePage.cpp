#include "browser/CataloguePage.h"

#include "platform/HostNames.h"
#include "runtime/AnsiText.h"

namespace catalogue {

namespace {

const QChar Quote = u'"';

// The entity that stands for a character HTML would read as markup: "&",
// "<" and ">", and inside an attribute the quotes. Empty for any other.
QString entityOf(QChar character, bool inAttribute)
{
    switch (character.unicode()) {
    case u'&': return QStringLiteral("&amp;");
    case u'<': return QStringLiteral("&lt;");
    case u'>': return QStringLiteral("&gt;");
    case u'"': return inAttribute ? QStringLiteral("&quot;") : QString();
    case u'\'': return inAttribute ? QStringLiteral("&#39;") : QString();
    default: return {};
    }
}

// An attribute value: a link target as HTML, in double quotes.
QString quoted(const QString& target)
{
    QString escaped;
    for (const QChar character : target) {
        const QString entity = entityOf(character, true);
        escaped += entity.isEmpty() ? QString(character) : entity;
    }
    return Quote + escaped + Quote;
}

bool inCodePage(QChar character)
{
    return character == u'?' || runtime::toAnsi(QString(character)) != "?";
}

// A name as page text: the markup characters as entities, and what the code
// page lacks as a character reference.
QString text(const QString& name)
{
    QString escaped;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar character = name[i];
        const QString entity = entityOf(character, false);
        if (!entity.isEmpty())
            escaped += entity;
        else if (character.isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate())
            escaped += QStringLiteral("&#%1;").arg(QChar::surrogateToUcs4(character, name[++i]));
        else if (!inCodePage(character))
            escaped += QStringLiteral("&#%1;").arg(character.unicode());
        else
            escaped += character;
    }
    return escaped;
}

// Every byte as %XX but ASCII letters, digits and "-._~", which a link
// target holds as they are.
QString percentEncoded(const QByteArray& bytes)
{
    QString escaped;
    for (const char byte : bytes) {
        const auto unsignedByte = static_cast<unsigned char>(byte);
        const bool plain = unsignedByte < 0x80 && (QChar(byte).isLetterOrNumber() || QByteArrayView("-._~").contains(byte));
        if (plain)
            escaped += QChar(byte);
        else
            escaped += QStringLiteral("%%1").arg(unsignedByte, 2, 16, QChar(u'0')).toUpper();
    }
    return escaped;
}

// One name of a link into the source tree, from the name on disk.
QString sourceName(const QString& name, const QString& hostName)
{
    const QByteArray bytes = platform::hostBytes(hostName);
    return bytes == name.toUtf8() ? linkTarget(name) : percentEncoded(bytes);
}

}  // namespace

QStringList pageHead(const QString& FolderName)
{
    return {
        QStringLiteral("<html><title>") + text(FolderName) + QStringLiteral("</title></head><body>"),
        QStringLiteral("<table align=center><tr><td><b><font face=Arial size=5><i>Brisca File Viewer:</i><br>"),
        text(FolderName),
        QStringLiteral("</font></b><td><img src='Images/logo.gif' width=140></td></tr></table>"),
        QStringLiteral("<table align=center><tr>"),
    };
}

QString backLink(const QString& parentPage, const QString& parentName)
{
    return QStringLiteral("<a href=") + quoted(linkTarget(parentPage + QStringLiteral(".htm"))) +
           QStringLiteral(">Back to ") + text(parentName) + QStringLiteral("</a>");
}

QStringList subFolderRows(const QString& page, const QString& SubFolder)
{
    return {
        QStringLiteral("<tr><td>"),
        QStringLiteral("<img border='0' src=") + quoted(QStringLiteral("Images/folder.gif")) + QStringLiteral("></td>"),
        QStringLiteral("<td><a href=") + quoted(linkTarget(page + QStringLiteral(".htm"))) + u'>' + text(SubFolder) +
            QStringLiteral("</a></td></tr>"),
    };
}

QString thumbnailCell(const QString& FolderName, const QString& thumbnailName)
{
    return QStringLiteral("<td align=center><img border='0' src=") +
           quoted(linkTarget(QStringLiteral("Images/") + FolderName + u'/' + thumbnailName + QStringLiteral(".jpg"))) +
           QStringLiteral("></td>");
}

QString nameLinkCell(const QString& target, const QString& linkText)
{
    return QStringLiteral("<td align=center><a href=") + quoted(target) + u'>' + text(linkText) +
           QStringLiteral("</a></td>");
}

QString nameLinkTarget(const QString& Relative, const QString& FileName, const QString& hostPath,
                       const QString& drawingName, bool distribution)
{
    if (distribution)
        return linkTarget(QStringLiteral("../") + drawingName + QStringLiteral(".cdr"));
    QStringList names = (Relative + u'/' + FileName).split(u'/');
    const QStringList hostNames = hostPath.split(u'/');
    names[0] = linkTarget(names[0]);
    // Below the "..", each name is one of the picture's path, counted from its end.
    for (qsizetype i = 1; i < names.size(); ++i) {
        const qsizetype fromEnd = names.size() - i;
        if (fromEnd <= hostNames.size())
            names[i] = sourceName(names[i], hostNames[hostNames.size() - fromEnd]);
    }
    return names.join(u'/');
}

QString linkTarget(const QString& path)
{
    QString target;
    target.reserve(path.size());
    for (qsizetype i = 0; i < path.size(); ++i) {
        const QChar character = path[i];
        if (character == u'#')
            target += QStringLiteral("%23");
        else if (character == u'?')  // a folder's name may hold one; unescaped it would start a query
            target += QStringLiteral("%3F");
        else if (character == u'%')
            target += QStringLiteral("%25");
        else if (character.isHighSurrogate() && i + 1 < path.size())
            target += percentEncoded(path.mid(i++, 2).toUtf8());
        else if (!inCodePage(character))
            target += percentEncoded(QString(character).toUtf8());
        else
            target += character;
    }
    return target;
}

}  // namespace catalogue

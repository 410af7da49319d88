#include "browser/CataloguePage.h"

#include "runtime/AnsiText.h"

namespace catalogue {

namespace {

const QChar Quote = u'"';

QString quoted(const QString& target) { return Quote + linkTarget(target) + Quote; }

bool inCodePage(QChar character)
{
    return character == u'?' || runtime::toAnsi(QString(character)) != "?";
}

QString percentEncoded(const QString& text)
{
    QString escaped;
    for (const char byte : text.toUtf8())
        escaped += QStringLiteral("%%1").arg(static_cast<unsigned char>(byte), 2, 16, QChar(u'0')).toUpper();
    return escaped;
}

}  // namespace

QStringList pageHead(const QString& HtmlName)
{
    return {
        QStringLiteral("<html><title>") + HtmlName + QStringLiteral("</title></head><body>"),
        QStringLiteral("<table align=center><tr><td><b><font face=Arial size=5><i>Brisca File Viewer:</i><br>"),
        HtmlName,
        QStringLiteral("</font></b><td><img src='Images/logo.gif' width=140></td></tr></table>"),
        QStringLiteral("<table align=center><tr>"),
    };
}

QString backLink(const QString& OldHtml)
{
    return QStringLiteral("<a href=") + quoted(OldHtml + QStringLiteral(".htm")) + QStringLiteral(">Back to ") +
           OldHtml + QStringLiteral("</a>");
}

QStringList subFolderRows(const QString& SubFolder)
{
    return {
        QStringLiteral("<tr><td>"),
        QStringLiteral("<img border='0' src=") + quoted(QStringLiteral("Images/folder.gif")) + QStringLiteral("></td>"),
        QStringLiteral("<td><a href=") + quoted(SubFolder + QStringLiteral(".htm")) + u'>' + SubFolder +
            QStringLiteral("</a></td></tr>"),
    };
}

QString thumbnailCell(const QString& FolderName, const QString& B)
{
    return QStringLiteral("<td align=center><img border='0' src=") +
           quoted(QStringLiteral("Images/") + FolderName + u'/' + B + QStringLiteral(".jpg")) +
           QStringLiteral("></td>");
}

QString nameLinkCell(const QString& href, const QString& text)
{
    return QStringLiteral("<td align=center><a href=") + quoted(href) + u'>' + text + QStringLiteral("</a></td>");
}

QString nameLinkHref(const QString& Relative, const QString& FileName, const QString& B, bool distribution)
{
    if (distribution)
        return QStringLiteral("../") + B + QStringLiteral(".cdr");
    return Relative + u'/' + FileName;
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
            target += percentEncoded(path.mid(i++, 2));
        else if (!inCodePage(character))
            target += percentEncoded(QString(character));
        else
            target += character;
    }
    return target;
}

}  // namespace catalogue

#pragma once
// The lines of an HTML catalogue page. A page shows one folder: a head with
// the folder's name and the logo, a table of thumbnails in which each row of
// (at most) four thumbnails is followed by a row of their name links, then a
// link back to the parent folder's page and one row per sub-folder. Pages are
// ANSI text, one line per write, each ending in CR LF.
//
// Names are written as they are found on disk, except inside link targets
// (href and src values), where "#", "?" and "%" would make a browser read an
// anchor, a query or an escape: there they are written %23, %3F and %25, and a
// character the ANSI code page lacks is written as its UTF-8 bytes in %XX
// form, so every link leads to the file it names.

#include <QString>
#include <QStringList>

namespace catalogue {

inline const QString RowBreak = QStringLiteral("</tr><tr>");
inline const QString TableEnd = QStringLiteral("</tr></table><table align=center>");
inline const QString PageEnd = QStringLiteral("</body></html>");

// The five lines that open the page of the folder named HtmlName.
QStringList pageHead(const QString& HtmlName);
// The link to the parent folder's page.
QString backLink(const QString& OldHtml);
// The three lines of a sub-folder's row: the folder icon and a link to its page.
QStringList subFolderRows(const QString& SubFolder);
// The thumbnail of the picture whose name less its extension is B, kept in
// the thumbnail folder of the page FolderName.
QString thumbnailCell(const QString& FolderName, const QString& B);
// One name link under a row of thumbnails.
QString nameLinkCell(const QString& href, const QString& text);

// The href of a picture's name link on the page of the folder at Relative (as
// seen from the "Cat" folder): the picture itself, or in a distribution the
// drawing B.cdr, which lies in the output folder, one level above "Cat",
// whichever folder of the tree the picture came from.
QString nameLinkHref(const QString& Relative, const QString& FileName, const QString& B, bool distribution);

// A link target with "#", "?", "%" and the characters the code page lacks escaped.
QString linkTarget(const QString& path);

}  // namespace catalogue

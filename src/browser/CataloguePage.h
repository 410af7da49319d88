#pragma once
// The lines of an HTML catalogue page. A page shows one folder: a head with
// the folder's name and the logo, a table of thumbnails in which each row of
// (at most) four thumbnails is followed by a row of their name links, then a
// link back to the parent folder's page and one row per sub-folder. Pages are
// ANSI text, one line per write, each ending in CR LF.
//
// Inside link targets (href and src values), "#", "?" and "%" would make a
// browser read an anchor, a query or an escape: there they are written %23,
// %3F and %25, and a character the ANSI code page lacks is written as its
// UTF-8 bytes in %XX form, so every link leads to the file it names. Every
// name is then written as HTML: "&", "<" and ">" as entities everywhere, the
// quotes too inside attributes, and in the text a character the code page
// lacks as a numeric character reference. A name without any of these is
// written as it is found on disk.

#include <QString>
#include <QStringList>

namespace catalogue {

inline const QString RowBreak = QStringLiteral("</tr><tr>");
inline const QString TableEnd = QStringLiteral("</tr></table><table align=center>");
inline const QString PageEnd = QStringLiteral("</body></html>");

// The five lines that open the page of the folder named FolderName.
QStringList pageHead(const QString& FolderName);
// The link to the parent folder's page, named after the parent folder.
QString backLink(const QString& parentPage, const QString& parentName);
// The three lines of a sub-folder's row: the folder icon and a link to its page.
QStringList subFolderRows(const QString& page, const QString& SubFolder);
// The thumbnail thumbnailName & ".jpg" in the thumbnail folder of the page FolderName.
QString thumbnailCell(const QString& FolderName, const QString& thumbnailName);
// One name link under a row of thumbnails; target as linkTarget gives it.
QString nameLinkCell(const QString& target, const QString& text);

// The target of a picture's name link on the page of the folder at Relative
// (as seen from the "Cat" folder): the picture itself, whose host path gives
// the bytes of every name below Relative's "..", or in a distribution the
// drawing drawingName & ".cdr", which lies in the output folder, one level
// above "Cat", whichever folder of the tree the picture came from. A name
// whose bytes on disk are not the UTF-8 of its drive-path name (a name in an
// old code page, a name holding a backslash) has every byte but letters and
// digits written %XX.
QString nameLinkTarget(const QString& Relative, const QString& FileName, const QString& hostPath,
                       const QString& drawingName, bool distribution);

// A link target with "#", "?", "%" and the characters the code page lacks escaped.
QString linkTarget(const QString& path);

}  // namespace catalogue

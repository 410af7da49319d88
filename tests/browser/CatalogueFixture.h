#pragma once
// Catalogue and distribution builds started from the real browser window, on
// a folder tree of drive e: with real pictures: its thumbnail run, batch
// window and distribution dialog included.

#include "BrowserSupport.h"

#include "browser/DistribSettings.h"
#include "runtime/AnsiText.h"

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <map>
#include <sys/stat.h>

// A host file's bytes; its path in bytes, as a name need not be UTF-8.
inline QByteArray readHost(const QByteArray& path)
{
    QByteArray bytes;
    if (std::FILE* file = std::fopen(path.constData(), "rb")) {
        char buffer[65536];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
            bytes.append(buffer, static_cast<qsizetype>(got));
        std::fclose(file);
    }
    return bytes;
}

// Entities as a browser decodes them, the legacy ones without ";" included.
inline QString decoded(const QString& html)
{
    static const QRegularExpression entity(R"(&(#[0-9]+|#[xX][0-9a-fA-F]+|amp|lt|gt|quot|copy|reg);?)");
    static const std::map<QString, QString> named = {{"amp", "&"},  {"lt", "<"},     {"gt", ">"},
                                                     {"quot", "\""}, {"copy", "\u00a9"}, {"reg", "\u00ae"}};
    QString text;
    qsizetype at = 0;
    for (const QRegularExpressionMatch& match : entity.globalMatch(html)) {
        text += html.mid(at, match.capturedStart() - at);
        const QString name = match.captured(1);
        if (name.startsWith('#')) {
            const bool hex = name.size() > 1 && (name[1] == 'x' || name[1] == 'X');
            const char32_t code = name.mid(hex ? 2 : 1).toUInt(nullptr, hex ? 16 : 10);
            text += QString::fromUcs4(&code, 1);
        } else {
            text += named.at(name);
        }
        at = match.capturedEnd();
    }
    return text + html.mid(at);
}

// A link's target resolved against the page's folder as a browser does for
// a file: "#" ends the path, "?" too, "\" separates, %XX is a byte.
inline QByteArray resolved(const QByteArray& pageFolder, const QString& target)
{
    QByteArrayList parts = pageFolder.split('/');
    const QString path = target.section(u'#', 0, 0).section(u'?', 0, 0);
    for (const QString& segment : QString(path).replace(u'\\', u'/').split(u'/')) {
        const QByteArray bytes = QByteArray::fromPercentEncoding(segment.toUtf8());
        if (bytes == "..")
            parts.removeLast();
        else if (bytes != "." && !bytes.isEmpty())
            parts += bytes;
    }
    return parts.join('/');
}

struct PageLink {
    bool image;
    QByteArray file;  // the host file the target leads to
    QString text;     // a link's text
};

// The images and links of a page as a browser reads them: the bytes in the
// page's code page, then the markup, then the entities.
inline QList<PageLink> linksOf(const QByteArray& page)
{
    static const QRegularExpression tag(
        R"re(<(img|a) [^>]*?(?:src|href)=(?:"([^"]*)"|'([^']*)')[^>]*>(?:([^<]*)</a>)?)re");
    const QString html = runtime::fromAnsi(readHost(page));
    const QByteArray folder = page.left(page.lastIndexOf('/'));
    QList<PageLink> links;
    for (const QRegularExpressionMatch& match : tag.globalMatch(html)) {
        const QString target = decoded(match.captured(2).isNull() ? match.captured(3) : match.captured(2));
        links += {match.captured(1) == "img", resolved(folder, target), decoded(match.captured(4))};
    }
    return links;
}

class CatalogueFixture : public BrowserTestBase {
protected:
    void SetUp() override
    {
        BrowserTestBase::SetUp();
        platform::Forms::registerForm(QStringLiteral("DistribSettings"), [] { return new DistribSettings; });
    }

    // A picture of that size in the tree; the name's extension picks the format
    // (a GIF, which Qt cannot write, or a metafile is a copy of a test file).
    void picture(const QString& relative, QSize size = {60, 40})
    {
        const QString extension = relative.right(3).toLower();
        if (extension == "gif" || extension == "wmf") {
            copyTestPicture(extension == "gif" ? "gif/go-triangle-001.gif" : "wmf/lo-beef.wmf", "e/" + relative);
            return;
        }
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        env.writeFile("e/" + relative, encoded(image, extension == "jpg" ? "JPG" : "BMP"));
    }
    static QByteArray encoded(const QImage& image, const char* format)
    {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, format);
        return bytes;
    }
    void folder(const QString& relative) const { QDir().mkpath(env.hostPath("e/" + relative)); }

    // The catalogue of e:\ & folder, through the browser's menu entry.
    void build(const QString& folder)
    {
        browser().Dir1->setPath("e:\\" + folder);
        browser().CreateCat_Click();
    }
    // The distribution of e:\ & folder, through the dialog's Go.
    void distribute(const QString& source, const QString& out = "e:\\out")
    {
        folder("out");
        browser().Dir1->setPath("e:\\" + source);
        DistribSettings& settings = platform::Forms::get<DistribSettings>(QStringLiteral("DistribSettings"));
        settings.OutFolder->setText(out);
        settings.MakeIt_Click();
    }
    // Runs once at the next pump: in a catalogue build after its first
    // picture, in a distribution at its first progress report.
    static void atFirstPump(const std::function<void()>& action) { QTimer::singleShot(0, action); }

    QByteArray page(const QString& relative) const { return env.readFile("e/" + relative); }
    bool exists(const QString& relative) const { return QFile::exists(env.hostPath("e/" + relative)); }

    // Every image and link of every page under the folder that leads to no
    // file, the pages read as a browser reads them.
    QStringList unresolvedLinks(const QString& catFolder) const
    {
        QStringList missing;
        QDirIterator pages(env.hostPath("e/" + catFolder), {"*.htm"}, QDir::Files);
        while (pages.hasNext()) {
            const QByteArray page = QFile::encodeName(pages.next());
            struct stat status {};
            for (const PageLink& link : linksOf(page)) {
                if (::stat(link.file.constData(), &status) != 0)
                    missing += QFileInfo(QFile::decodeName(page)).fileName() + ": " + QFile::decodeName(link.file);
            }
        }
        return missing;
    }
};

// Lines joined as a page holds them, each ending in CR LF.
inline QByteArray pageLines(const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toLatin1() + "\r\n";
    return bytes;
}

inline QStringList headOf(const QString& name)
{
    return {"<html><title>" + name + "</title></head><body>",
            "<table align=center><tr><td><b><font face=Arial size=5><i>Brisca File Viewer:</i><br>",
            name,
            "</font></b><td><img src='Images/logo.gif' width=140></td></tr></table>",
            "<table align=center><tr>"};
}

inline QString thumbLine(const QString& src) { return "<td align=center><img border='0' src=\"" + src + "\"></td>"; }
inline QString linkLine(const QString& href, const QString& text)
{
    return "<td align=center><a href=\"" + href + "\">" + text + "</a></td>";
}
inline QStringList folderRows(const QString& name)
{
    return {"<tr><td>", "<img border='0' src=\"Images/folder.gif\"></td>",
            "<td><a href=\"" + name + ".htm\">" + name + "</a></td></tr>"};
}

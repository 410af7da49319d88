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
#include <QUrl>
#include <functional>

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

    // Every href and src of every page under the folder that leads to no file
    // when resolved as a browser resolves it ("#" starts an anchor, "?" a query).
    QStringList unresolvedLinks(const QString& catFolder) const
    {
        QStringList missing;
        static const QRegularExpression link(R"((?:href|src)=["']([^"']*)["'])");
        QDirIterator pages(env.hostPath("e/" + catFolder), {"*.htm"}, QDir::Files);
        while (pages.hasNext()) {
            const QString page = pages.next();
            const QString text = runtime::fromAnsi(env.readFile(page.mid(env.root().size() + 1)));
            for (const QRegularExpressionMatch& match : link.globalMatch(text)) {
                const QUrl target = QUrl::fromLocalFile(page).resolved(QUrl(match.captured(1)));
                if (!QFile::exists(target.toLocalFile()))
                    missing += QFileInfo(page).fileName() + ": " + match.captured(1);
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

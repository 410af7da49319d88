#pragma once
// A sandbox for catalogue and distribution builds: a folder tree on drive e:,
// pictures written into it, and a stand-in for the browser window whose
// thumbnail run makes real thumbnails through the image helpers, writes the
// page cells and converts the pictures, as the browser's run does in a build.

#include "browser/CatalogueBuild.h"
#include "browser/CatalogueCells.h"
#include "browser/Distribution.h"
#include "browser/ImageHelpers.h"
#include "platform/FileSystem.h"
#include "platform/Forms.h"
#include "platform/Services.h"
#include "runtime/RuntimeError.h"
#include "search/ListSearch.h"
#include "support/TestEnvironment.h"

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QRegularExpression>
#include <QUrl>
#include <QFile>
#include <QImage>
#include <functional>
#include <gtest/gtest.h>

class RunStandIn : public CatalogueHost {
public:
    QString folderListPath() const override { return path; }
    void setFolderListPath(const QString& folder) override
    {
        path = folder.endsWith(u'\\') && folder.size() > 3 ? folder.chopped(1) : folder;
        visited += path;
    }
    void PreviewFolder(const QString& ProcessPath, const QString& FolderName, const QString& ImageFolder,
                       const QString&, std::int16_t HTML, const QString& Relative) override
    {
        QStringList names;
        for (const QString& name : platform::fileSystem().dir(ProcessPath + QStringLiteral("*.*"))) {
            static const QStringList extensions = {"bmp", "gif", "jpg", "wmf", "emf", "cdr"};
            if (extensions.contains(name.right(3).toLower()))
                names += name;
        }
        if (ListSearch.DistribMode)
            progress("Distribution Progress", "Starting Folder..." + FolderName);
        CatalogueCells cells(HTML, ImageFolder, FolderName, Relative);
        DrawingPrograms programs;
        PictureBox box;
        box.setAutoSize(true);
        platform::imgdes img;
        for (int i = 0; i < names.size(); ++i) {
            const QString& name = names[i];
            if (ListSearch.DistribMode)
                progress(QStringLiteral("Distribution Progress %1 of %2").arg(i).arg(names.size() - 1),
                         "Loading " + name);
            try {
                box.setPicture(loadPictureForBox(ProcessPath + name, ThumbnailWidth, ThumbnailHeight,
                                                 ThumbnailAspect));
                const CatalogueTimes times =
                    readCatalogueTimes(ProcessPath + name, thumbnailFile(ImageFolder, FolderName, name));
                CaptureBoxToImage(box, img);
                FitImageToBox(img, ThumbnailWidth, ThumbnailHeight, ThumbnailAspect);
                cells.addPicture(name, img, times);
                if (ListSearch.DistribMode) {
                    std::int16_t stage = 0;
                    ConvertPicture(ProcessPath, name, times, stage, programs, progress);
                }
            } catch (const runtime::RuntimeError& error) {
                if (error.number() != runtime::err::InvalidPicture) {
                    errors += error.number();
                    break;
                }
                continue;  // an unreadable picture leaves no cells
            }
            ++pictures;
            if (afterPicture)
                afterPicture(pictures);
            if (ListSearch.StopFlag || ListSearch.PreviewStop) {
                platform::freeimage(img);
                platform::Forms::unload(QStringLiteral("Disp"));
                return;
            }
        }
        platform::freeimage(img);
        cells.finish();
        ReleaseDrawingPrograms(programs);
    }
    void Command1_Click() override { previews += path; }

    QString path;
    QStringList visited;   // every folder the list was set to
    QStringList previews;  // the folders given a normal preview
    int pictures = 0;
    std::function<void(int)> afterPicture;
    QList<int> errors;  // runtime errors that ended a run
    QStringList captions;
    QStringList messages;
    ProgressReport progress = [this](const QString& caption, const QString& message) {
        if (!caption.isEmpty())
            captions += caption;
        messages += message;
    };
};

class CatalogueFixture : public ::testing::Test {
protected:
    CatalogueFixture()
    {
        ListSearch = ListSearchModule{};
        env.mapDrive(u'e', "tree");
    }
    ~CatalogueFixture() override { ListSearch = ListSearchModule{}; }

    // A picture of that size in the tree; the name's extension picks the format
    // (a GIF, which Qt cannot write, or a metafile is a copy of a test file).
    void picture(const QString& relative, QSize size = {60, 40}) const
    {
        const QString extension = relative.right(3).toLower();
        if (extension == "gif" || extension == "wmf") {
            QFile copied(QStringLiteral(BRISCA_TEST_DATA_DIR) +
                         (extension == "gif" ? "/gif/go-triangle-001.gif" : "/wmf/lo-beef.wmf"));
            copied.open(QIODevice::ReadOnly);
            env.writeFile("tree/" + relative, copied.readAll());
            return;
        }
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, relative.endsWith(".jpg", Qt::CaseInsensitive) ? "JPG" : "BMP");
        env.writeFile("tree/" + relative, bytes);
    }
    void folder(const QString& relative) const { QDir().mkpath(env.hostPath("tree/" + relative)); }

    // The catalogue of e:\ & folder, as the browser's menu entry builds it.
    void build(const QString& folder)
    {
        host.path = QStringLiteral("e:\\") + folder;
        CreateCatalogue(host);
    }

    QByteArray page(const QString& relative) const { return env.readFile("tree/" + relative); }
    bool exists(const QString& relative) const { return QFile::exists(env.hostPath("tree/" + relative)); }

    // Every href and src of every page under the folder that names no file.
    QStringList unresolvedLinks(const QString& catFolder) const
    {
        QStringList missing;
        static const QRegularExpression link(R"((?:href|src)=["']([^"']*)["'])");
        QDirIterator pages(env.hostPath("tree/" + catFolder), {"*.htm"}, QDir::Files);
        while (pages.hasNext()) {
            const QString page = pages.next();
            const QString text = QString::fromLatin1(env.readFile(page.mid(env.root().size() + 1)));
            for (const QRegularExpressionMatch& match : link.globalMatch(text)) {
                const QString target = QUrl::fromPercentEncoding(match.captured(1).toUtf8());
                if (!QFile::exists(QFileInfo(page).dir().filePath(target)))
                    missing += QFileInfo(page).fileName() + ": " + target;
            }
        }
        return missing;
    }

    TestEnvironment env;
    RunStandIn host;
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

#pragma once
// The HTML catalogue of a folder tree: one page per folder, written into a
// "Cat" folder (of the catalogued folder, or of a distribution's output
// folder) with the thumbnails under "Cat\Images\", and the folder icon and
// logo copied beside them. Pages are named by the folder's last name; a later
// folder of a name an earlier one has (letter case ignored) gets a numbered
// page and thumbnail folder of its own ("Summer (2).htm"), so each folder
// keeps its page. Pages and thumbnail folders are made under exactly their
// names: one an earlier build left in another case is renamed, not written
// into.
//
// The walk is pre-order: a folder's page is complete before its first
// sub-folder is visited. The folders still to visit are kept in a list on the
// heap, not in nested calls, so no depth of tree exhausts the stack, and a
// folder reached twice in one build (through a link back into the tree) is
// catalogued once: its row appears only on the page that listed it first.
//
// Error handling is by the runtime's error numbers, as the program has always
// done it: 75 (a folder that exists already, a file that cannot be written) is
// passed over and the next step runs; 53 ends silently; any other error ends
// the folder's branch (or the build) with its message, unless a stop was asked.

#include "browser/UniqueNames.h"

#include <QSet>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

// What a build needs of the browser window, which it drives while it works.
// The window may be closed during PreviewFolder (which pumps messages); a
// host whose window is gone does nothing.
class CatalogueHost {
public:
    virtual ~CatalogueHost() = default;
    // The folder list's path, and setting it (which runs its change handler).
    virtual QString folderListPath() const = 0;
    virtual void setFolderListPath(const QString& path) = 0;
    // The folder thumbnail run, writing the cells of the page open as HTML.
    virtual void PreviewFolder(const QString& ProcessPath, const QString& FolderName, const QString& ImageFolder,
                               const QString& HtmlFolder, std::int16_t HTML, const QString& Relative) = 0;
    // A normal preview of the folder the list shows.
    virtual void Command1_Click() = 0;
};

// Writes the pages of one tree. One walk serves one build.
class CatalogueWalk {
public:
    explicit CatalogueWalk(CatalogueHost& host) : host_(host) {}

    // The page of FolderPath (ending in "\") named HtmlName, then the pages of
    // every folder below it. OldHtml names the parent's page ("" for the top);
    // Relative is the folder's address as seen from the page folder.
    void CatFolder(const QString& HtmlName, const QString& FolderPath, const QString& HtmlFolder,
                   const QString& ImageFolder, const QString& OldHtml, const QString& Relative);

private:
    struct SubFolder {
        QString name;
        QString page;
    };
    struct Folder {
        QString HtmlName;  // the page's name, also its thumbnail folder's
        QString name;      // the folder's own name, which the page shows
        QString FolderPath;
        QString Relative;
        QString rememberedPath;  // the folder list's path before the visit
        std::vector<SubFolder> subFolders;
        std::size_t next = 0;
    };

    static Folder visit(const QString& HtmlName, const QString& name, const QString& FolderPath,
                        const QString& Relative)
    {
        Folder folder;
        folder.HtmlName = HtmlName;
        folder.name = name;
        folder.FolderPath = FolderPath;
        folder.Relative = Relative;
        return folder;
    }
    // Writes the folder's page, with a link back to the parent's page when
    // there is one; true when its sub-folders are to be visited.
    bool writePage(Folder& folder, const Folder* parent);
    void listSubFolders(Folder& folder);

    CatalogueHost& host_;
    QString htmlFolder_;
    QString imageFolder_;
    QSet<QString> claimed_;  // real host paths of the folders listed so far
    UniqueNames pages_;
};

// The catalogue of the folder the browser shows (its "Create Catalogue"
// entry): the pages, then the browser back on that folder with a preview.
void CreateCatalogue(CatalogueHost& host);

// What catalogue and distribution builds share: CatSourcePath and
// CatFolderName from the folder list, ...
void takeSourceFolder(const CatalogueHost& host);
// ... then the page and thumbnail folders under pageRoot (ending in "\"), the
// icons, and the pages of the whole tree.
void writeCatalogue(CatalogueHost& host, const QString& pageRoot);

// Runs a step, passing over error 75 as the builds do.
void passing75(const std::function<void()>& step);

// Shows prefix & number & " " & description, unless the error is 53 or a stop
// was asked, which end a build silently.
void reportBuildError(const QString& prefix, int number, const QString& description);

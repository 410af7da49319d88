#include "browser/CatalogueBuild.h"

#include "browser/BuildErrors.h"
#include "browser/CataloguePage.h"
#include "platform/FileSystem.h"
#include "platform/Interaction.h"
#include "platform/Services.h"
#include "runtime/FileNumbers.h"
#include "runtime/RuntimeError.h"
#include "search/ListSearch.h"

#include <QFileInfo>

using runtime::RuntimeError;

namespace {

// A folder lists at most this many sub-folders; the next one raises 9.
constexpr std::size_t MaxSubFolders = 1001;

const QString PageFolderName = QStringLiteral("Cat");

void writeLine(const QString& line)
{
    passing75([&] { runtime::printLine(ListSearch.CatFileNum, line); });
}

void writeLines(const QStringList& lines)
{
    for (const QString& line : lines)
        writeLine(line);
}

// A thumbnail folder, under exactly its name.
void makeFolder(const QString& path)
{
    passing75([&] {
        platform::fileSystem().matchCase(path);
        platform::fileSystem().mkDir(path);
    });
}

// A folder the build cannot do without: made beside any of its name in
// another case (a source folder "cat" stays the user's), or kept when it is
// there; when it cannot be made, an error that says so rather than a later
// "Path not found".
void makeBuildFolder(const QString& path)
{
    platform::FileSystem& files = platform::fileSystem();
    try {
        files.mkDirExact(path);
    } catch (const RuntimeError& error) {
        if (error.number() != runtime::err::PathFileAccessError)
            throw;
        if (!files.folderExists(path))
            runtime::raise(runtime::err::PermissionDenied,
                           QStringLiteral("Permission denied: the folder %1 cannot be made").arg(path));
    }
}

void closePage()
{
    passing75([] { runtime::closeFile(ListSearch.CatFileNum); });
}

bool stopAsked() { return ListSearch.StopFlag || ListSearch.PreviewStop; }

// The part of a path after its last "\".
QString lastComponent(const QString& path) { return path.mid(path.lastIndexOf(u'\\') + 1); }

// The host path of a folder with every link resolved: one folder, one path.
QString realPath(const QString& folderPath)
{
    const QString hostPath = platform::fileSystem().hostPath(folderPath);
    const QString real = QFileInfo(hostPath).canonicalFilePath();
    return real.isEmpty() ? hostPath : real;
}

QString withBackslash(const QString& path) { return path.endsWith(u'\\') ? path : path + u'\\'; }

}  // namespace

void passing75(const std::function<void()>& step)
{
    try {
        step();
    } catch (const RuntimeError& error) {
        if (error.number() != runtime::err::PathFileAccessError)
            throw;
    }
}

void reportBuildError(const QString& prefix, int number, const QString& description)
{
    if (number == runtime::err::FileNotFound || stopAsked())
        return;
    platform::interaction().msgBox(prefix + QString::number(number) + u' ' + description);
}

void CatalogueWalk::CatFolder(const QString& HtmlName, const QString& FolderPath, const QString& HtmlFolder,
                              const QString& ImageFolder, const QString& OldHtml, const QString& Relative)
{
    htmlFolder_ = HtmlFolder;
    imageFolder_ = ImageFolder;
    try {
        claimed_.insert(realPath(FolderPath));
    } catch (const RuntimeError&) {
        // A folder with no host path meets its error again when its page is written.
    }

    pages_ = UniqueNames({HtmlName, QStringLiteral("folder.gif"), QStringLiteral("logo.gif")});
    std::vector<Folder> open;  // the folder being visited last, its parents before it
    Folder top = visit(HtmlName, HtmlName, FolderPath, Relative);
    const Folder parent = visit(OldHtml, OldHtml, QString(), QString());
    if (writePage(top, OldHtml.isEmpty() ? nullptr : &parent))
        open.push_back(std::move(top));
    while (!open.empty()) {
        Folder& folder = open.back();
        try {
            if (folder.next == folder.subFolders.size()) {
                host_.setFolderListPath(folder.rememberedPath);
                open.pop_back();
            } else {
                const SubFolder& next = folder.subFolders[folder.next++];
                makeFolder(imageFolder_ + next.page);
                Folder sub = visit(next.page, next.name, folder.FolderPath + next.name + u'\\',
                                   folder.Relative + u'/' + next.name);
                if (writePage(sub, &folder)) {
                    open.push_back(std::move(sub));
                    continue;
                }
            }
        } catch (const RuntimeError& error) {
            reportBuildError(QStringLiteral("Cat Folder Error: "), error.number(), error.description());
            runtime::closeFile(ListSearch.CatFileNum);
            open.pop_back();
        }
        // A folder's visit has just ended: a stop ends every visit above it.
        if (ListSearch.StopFlag) {
            runtime::closeFile(ListSearch.CatFileNum);
            return;
        }
    }
}

bool CatalogueWalk::writePage(Folder& folder, const Folder* parent)
{
    try {
        folder.rememberedPath = host_.folderListPath();
        host_.setFolderListPath(folder.FolderPath);
        ListSearch.CatFileNum = static_cast<std::int16_t>(runtime::freeFile());
        const QString page = htmlFolder_ + folder.HtmlName + QStringLiteral(".htm");
        passing75([&] {
            platform::fileSystem().matchCase(page);
            runtime::openForOutput(ListSearch.CatFileNum, platform::fileSystem().hostPath(page));
        });
        writeLines(catalogue::pageHead(folder.name));

        host_.PreviewFolder(folder.FolderPath, folder.HtmlName, imageFolder_, htmlFolder_, ListSearch.CatFileNum,
                            folder.Relative);
        if (ListSearch.StopFlag) {
            runtime::closeFile(ListSearch.CatFileNum);
            return false;
        }

        writeLine(catalogue::TableEnd);
        if (parent)
            writeLine(catalogue::backLink(parent->HtmlName, parent->name));
        listSubFolders(folder);
        writeLine(catalogue::PageEnd);
        closePage();
        return true;
    } catch (const RuntimeError& error) {
        reportBuildError(QStringLiteral("Cat Folder Error: "), error.number(), error.description());
        runtime::closeFile(ListSearch.CatFileNum);
        return false;
    }
}

void CatalogueWalk::listSubFolders(Folder& folder)
{
    const QList<platform::DirEntry> entries =
        platform::fileSystem().dirEntries(folder.FolderPath, platform::attr::Directory);
    for (const platform::DirEntry& entry : entries) {
        // "Cat" holds the pages (a "cat" or "CAT" is an ordinary folder). A
        // folder that cannot be read has no page that could be reached.
        if (entry.name == PageFolderName || !entry.readable || !(entry.attributes & platform::attr::Directory))
            continue;
        const QString key = realPath(folder.FolderPath + entry.name);
        if (claimed_.contains(key))
            continue;
        if (folder.subFolders.size() == MaxSubFolders)
            runtime::raise(runtime::err::SubscriptOutOfRange);
        claimed_.insert(key);
        const QString page = pages_.claim(entry.name);
        folder.subFolders.push_back({entry.name, page});
        writeLines(catalogue::subFolderRows(page, entry.name));
    }
}

void takeSourceFolder(const CatalogueHost& host)
{
    ListSearch.CatSourcePath = host.folderListPath();
    ListSearch.CatFolderName = lastComponent(ListSearch.CatSourcePath);
    ListSearch.CatSourcePath = withBackslash(ListSearch.CatSourcePath);
}

void writeCatalogue(CatalogueHost& host, const QString& pageRoot)
{
    ListSearch.CatHtmlFolder = pageRoot + PageFolderName + u'\\';
    makeBuildFolder(ListSearch.CatHtmlFolder);
    ListSearch.CatImageFolder = ListSearch.CatHtmlFolder + QStringLiteral("Images\\");
    makeBuildFolder(ListSearch.CatImageFolder);
    makeFolder(ListSearch.CatImageFolder + ListSearch.CatFolderName);
    for (const QString& icon : {QStringLiteral("folder.gif"), QStringLiteral("logo.gif")}) {
        passing75([&] {
            platform::fileSystem().fileCopy(platform::programFolder() + u'\\' + icon,
                                            ListSearch.CatImageFolder + icon);
        });
    }
    CatalogueWalk(host).CatFolder(ListSearch.CatFolderName, ListSearch.CatSourcePath, ListSearch.CatHtmlFolder,
                                  ListSearch.CatImageFolder, QString(), QStringLiteral(".."));
}

void CreateCatalogue(CatalogueHost& host)
{
    const BuildErrorRecord shownErrors;  // a file that cannot be read is reported once
    const bool previewWasBusy = ListSearch.PreviewBusy;
    ListSearch.PreviewBusy = false;
    ListSearch.CatMode = true;
    try {
        takeSourceFolder(host);
        writeCatalogue(host, ListSearch.CatSourcePath);
        ListSearch.CatMode = false;
        ListSearch.PreviewBusy = previewWasBusy;
        // A build stopped by the user has done its work: the folder is shown
        // whole again, not stopped after its first picture.
        ListSearch.StopFlag = false;
        host.setFolderListPath(ListSearch.CatSourcePath);
        host.Command1_Click();
        // A preview suspended when the build began would go on filling the grid
        // its own preview has just filled: it stops when it resumes.
        if (previewWasBusy)
            ListSearch.PreviewStop = true;
    } catch (const RuntimeError& error) {
        reportBuildError(QStringLiteral("Create Cat Error: "), error.number(), error.description());
        ListSearch.CatMode = false;
        ListSearch.PreviewBusy = previewWasBusy;
    }
    ListSearch.StopFlag = false;
}

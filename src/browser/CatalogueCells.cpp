#include "browser/CatalogueCells.h"

#include "browser/BuildErrors.h"
#include "browser/CataloguePage.h"
#include "browser/UniqueNames.h"
#include "platform/FileSystem.h"
#include "platform/Interaction.h"
#include "platform/Services.h"
#include "runtime/FileNumbers.h"
#include "search/ListSearch.h"

namespace {

constexpr int ThumbnailQuality = 55;
constexpr int BaselineJpeg = 2;
constexpr std::size_t LinksPerRow = 4;

}  // namespace

QString baseName(const QString& FileName) { return FileName.left(FileName.size() - 4); }

QString thumbnailFile(const QString& ImageFolder, const QString& FolderName, const QString& thumbnailName)
{
    return ImageFolder + FolderName + u'\\' + thumbnailName + QStringLiteral(".jpg");
}

QStringList thumbnailNames(const QStringList& pictures)
{
    UniqueNames names;
    QStringList thumbnails;
    for (const QString& picture : pictures)
        thumbnails += names.claim(baseName(picture));
    return thumbnails;
}

CatalogueTimes readCatalogueTimes(const QString& picture, const QString& thumbnail)
{
    CatalogueTimes times;
    GetFileTimes(picture, times.created, times.written, times.accessed);
    FILETIME thumbnailCreated;
    FILETIME thumbnailAccessed;
    GetFileTimes(thumbnail, thumbnailCreated, times.thumbnailWritten, thumbnailAccessed);
    return times;
}

bool thumbnailUpToDate(const QString& thumbnail, const CatalogueTimes& times)
{
    return platform::fileSystem().fileExists(thumbnail) && FileTimesMatch(times.thumbnailWritten, times.written);
}

CatalogueCells::CatalogueCells(std::int16_t HTML, QString ImageFolder, QString FolderName, QString Relative)
    : html_(HTML), imageFolder_(std::move(ImageFolder)), folderName_(std::move(FolderName)),
      relative_(std::move(Relative))
{
}

void CatalogueCells::addPicture(const CataloguePicture& picture, const platform::imgdes& img,
                                const CatalogueTimes& times)
{
    saveThumbnail(thumbnailFile(imageFolder_, folderName_, picture.thumbnail), img, times);
    runtime::printLine(html_, catalogue::thumbnailCell(folderName_, picture.thumbnail));
    const QString hostPath = platform::fileSystem().hostPath(picture.folder + picture.FileName);
    queued_.push_back({catalogue::nameLinkTarget(relative_, picture.FileName, hostPath, picture.drawing,
                                                 ListSearch.DistribMode),
                       baseName(picture.FileName)});
    if (queued_.size() == LinksPerRow) {
        writeQueuedLinks();
        runtime::printLine(html_, catalogue::RowBreak);
    }
}

void CatalogueCells::finish() { writeQueuedLinks(); }

void CatalogueCells::saveThumbnail(const QString& file, const platform::imgdes& img,
                                   const CatalogueTimes& times) const
{
    if (thumbnailUpToDate(file, times))
        return;
    const int status = platform::savejpgex(file, img, ThumbnailQuality, BaselineJpeg);
    if (status != platform::imagestatus::Ok) {
        // A full disk fails every thumbnail after it: one message says it.
        if (firstInBuild(QStringLiteral("Thumbnail Save Error")))
            platform::interaction().msgBox(QStringLiteral("Thumbnail Save Error: ") + QString::number(status));
        return;
    }
    // Only the last write is stamped; a zero record leaves the other times alone.
    SetFileTimes(file, FILETIME{}, times.written, FILETIME{});
}

void CatalogueCells::writeQueuedLinks()
{
    runtime::printLine(html_, catalogue::RowBreak);
    for (const NameLink& link : queued_)
        runtime::printLine(html_, catalogue::nameLinkCell(link.href, link.text));
    queued_.clear();
}

#pragma once
// What a folder's thumbnail run adds to the catalogue page being written: per
// picture a JPEG thumbnail file and the page's cells, and at the end the name
// links still waiting for their row.
//
// A picture B.ext of the page FolderName has the thumbnail file
// ImageFolder & FolderName & "\" & B & ".jpg", or "B (2).jpg" and on for the
// second and later pictures of the folder whose names differ only in their
// extension (Lion.bmp and Lion.wmf), so each cell shows its own picture. A
// thumbnail is written, whole or not at all, with the picture's last-write
// time, and one
// whose last-write time still equals the picture's is not made again: a
// second build of an unchanged tree encodes nothing, a changed picture gets a
// new thumbnail.

#include "browser/FileTimes.h"
#include "platform/ImageLibrary.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

// The times the run reads before making a picture's thumbnail: the picture's
// three (a distribution stamps them on the drawing made from it) and its
// thumbnail file's last write.
struct CatalogueTimes {
    FILETIME created;
    FILETIME written;
    FILETIME accessed;
    FILETIME thumbnailWritten;
};

// The thumbnail file thumbnailName & ".jpg" of the page FolderName.
QString thumbnailFile(const QString& ImageFolder, const QString& FolderName, const QString& thumbnailName);

// The name less its last four characters (its extension and dot).
QString baseName(const QString& FileName);

// The thumbnails' names (without ".jpg") of a folder's pictures, in order.
QStringList thumbnailNames(const QStringList& pictures);

// A picture as the page shows it.
struct CataloguePicture {
    QString folder;  // ending in "\"
    QString FileName;
    QString thumbnail;  // the thumbnail's name
    QString drawing;    // in a distribution, the drawing's name (without ".ai" or ".cdr")
};

// Reads the times of the picture and of its thumbnail file into records that
// start at zero for every picture, so a missing file never lends the previous
// picture's times.
CatalogueTimes readCatalogueTimes(const QString& picture, const QString& thumbnail);

// True when the thumbnail file exists and carries the picture's last-write
// time: it is the picture's thumbnail as the picture is now.
bool thumbnailUpToDate(const QString& thumbnail, const CatalogueTimes& times);

class CatalogueCells {
public:
    // HTML is the file number of the open page.
    CatalogueCells(std::int16_t HTML, QString ImageFolder, QString FolderName, QString Relative);

    // After a picture's thumbnail is fitted in img: saves the thumbnail file
    // unless it is up to date ("Thumbnail Save Error: " and the status when the
    // save fails, once in a build; the run goes on), writes the thumbnail cell
    // and queues the name link. The fourth queued link writes the row of links.
    void addPicture(const CataloguePicture& picture, const platform::imgdes& img, const CatalogueTimes& times);
    // After the folder's last picture: a row of the links still queued.
    void finish();

private:
    struct NameLink {
        QString href;
        QString text;
    };
    void saveThumbnail(const QString& file, const platform::imgdes& img, const CatalogueTimes& times) const;
    void writeQueuedLinks();

    std::int16_t html_;
    QString imageFolder_;
    QString folderName_;
    QString relative_;
    std::vector<NameLink> queued_;
};

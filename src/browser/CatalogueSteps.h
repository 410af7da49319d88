#pragma once
// What the catalogue and distribution builds add to the browser: the menu
// commands that start them, and the steps the folder thumbnail run takes for
// them at each picture and at its end. The run calls these at its fixed
// places; the builds give them their bodies (CatalogueSteps.cpp holds the
// defaults, which do nothing).
//
// Every step may raise a runtime error; the run handles it by its number, as
// for its own statements.

#include "browser/FileTimes.h"
#include "platform/ImageLibrary.h"

#include <QString>
#include <array>
#include <cstdint>

class Browser;

// The name links of a catalogue page waiting for their row: up to four pairs
// of link target and link text. One per run, empty at its start.
struct PendingNameLinks {
    int count = 0;
    std::array<QString, 4> target;
    std::array<QString, 4> text;
};

// One picture of a run in catalogue mode, once it has been loaded and fitted.
struct CataloguePicture {
    const QString& folder;          // the run's folder, ending with "\"
    const QString& fileName;        // the picture's name with its extension
    const QString& baseName;        // the name less its last four characters
    const QString& FolderName;      // the run's parameters, as the build passed them
    const QString& ImageFolder;
    std::int16_t HTML;
    const QString& Relative;
    const platform::imgdes& img;    // the fitted 112 by 170 thumbnail
    const FILETIME& pictureWrite;   // last-write times the run read: the picture's
    const FILETIME& thumbnailWrite; // and the thumbnail file's (unchanged when it has none)
};

// The thumbnail file of a picture: ImageFolder & FolderName & "\" & baseName & ".jpg".
QString catalogueThumbnailFile(const QString& ImageFolder, const QString& FolderName, const QString& baseName);

// Catalogue mode, after the thumbnail is made: save it and write the picture's cells.
void WritePictureCells(const CataloguePicture& picture, PendingNameLinks& links);
// Catalogue mode, after the folder's last picture (a run that was not stopped):
// the row of the name links still waiting.
void WriteClosingCells(std::int16_t HTML, const QString& Relative, PendingNameLinks& links);
// Distribution mode, after the picture's cells: the file through the drawing
// programs. ConvertStage tells the run's error handler which stage failed.
void ConvertPicture(const QString& folder, const QString& fileName, std::int16_t& ConvertStage);
// At the end of a run that went through its last file: the drawing programs'
// objects are let go.
void ReleaseDrawingPrograms();

// The browser's menu commands "&Create Catalogue" and "Create &Distribution Folder".
void CreateCatalogue(Browser& browser);
void CreateDistribution(Browser& browser);

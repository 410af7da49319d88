#pragma once
// The distribution folder: the catalogue of the browser's folder built into
// an output folder, with every listed picture of the tree also turned into a
// drawing by the two drawing programs, B.ai and then B.cdr, written straight
// into the output folder. A later picture of the same base name (letter case
// ignored) gets "B (2)" and on, so no drawing replaces another. The name
// links of every page, whatever its folder, lead to those ".cdr" files.
//
// The output folder may not be the catalogued folder or lie inside it: the
// drawings would overwrite the pictures' neighbours there (Lion.cdr beside
// Lion.bmp), so such a folder is refused and nothing is built.

#include "browser/CatalogueBuild.h"
#include "browser/CatalogueCells.h"
#include "platform/DrawingPrograms.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>

// Shown when the output folder is the catalogued folder or lies inside it.
inline const QString OutputInsideSourceMessage =
    QStringLiteral("The output folder is the folder being catalogued or lies inside it. "
                   "Choose a folder outside it, so that no drawing replaces a file of yours.");

// True when the output folder (a Windows path) is the source folder or lies
// below it, links resolved; false for a path that names no folder at all.
bool outputLiesInSource(const QString& outFolder, const QString& sourceFolder);

// The build behind "Go", once DistribOutFolder is set and the dialog hidden:
// the flags, the folders, the pages, thumbnails and drawings of the whole
// tree, then the flags reset and the batch window closed.
void MakeDistribution(CatalogueHost& host);

// Disp's Progress(Caption, Message).
using ProgressReport = std::function<void(const QString& Caption, const QString& Message)>;

// The drawing programs' objects that a folder's thumbnail run keeps between
// its pictures; the Illustrator objects are made anew for each picture.
struct DrawingPrograms {
    std::unique_ptr<platform::IllustratorApplication> illustrator;
    std::unique_ptr<platform::IllustratorSaveOptions> saveOptions;
};

// The names of the drawings of a folder's pictures (without ".ai" or
// ".cdr"), in order, none of them given before in this build.
QStringList drawingNames(const QStringList& pictures);

// The conversion of the picture folder & FileName into DistribOutFolder:
// drawingName & ".ai" through Illustrator (stamped with the picture's times,
// read before its thumbnail was made), then drawingName & ".cdr" through
// CorelDRAW, each under exactly that name. ConvertStage is 2 during the first
// and 3 during the second, for the run's error handling. Errors of the
// drawing programs and of the files reach the caller.
void ConvertPicture(const QString& folder, const QString& FileName, const QString& drawingName,
                    const CatalogueTimes& times, std::int16_t& ConvertStage, DrawingPrograms& programs,
                    const ProgressReport& Progress);
// At the end of a folder's run.
void ReleaseDrawingPrograms(DrawingPrograms& programs);

#pragma once
// Where the catalogue and distribution builds meet the browser: the two menu
// commands that start them, the browser's CatFolder, and the drawing-program
// conversion that the folder thumbnail run makes of each picture during a
// distribution. The browser and its run call these at their fixed places.
//
// In catalogue mode the run itself writes the page through CatalogueCells
// (CatalogueCells.h): one per run, a picture added after its thumbnail is
// fitted, finish() after the folder's last picture.

#include "browser/CatalogueCells.h"
#include "browser/Distribution.h"

#include <QString>
#include <cstdint>

class Browser;

// The browser's menu commands "&Create Catalogue" and "Create &Distribution Folder".
void startCatalogueBuild(Browser& browser);
void startDistributionBuild(Browser& browser);

// The conversion of a distribution build: one per thumbnail run.
class PictureConversion {
public:
    // After the picture's cells: the picture folder & fileName through the
    // drawing programs into the drawing drawingName, stamped with the
    // picture's times. ConvertStage tells
    // the run's error handler which program failed (2 Illustrator, 3 CorelDRAW);
    // it is set, never reset. Errors are raised to the run.
    void convert(const QString& folder, const QString& fileName, const QString& drawingName,
                 const CatalogueTimes& times, std::int16_t& ConvertStage);
    // After a run that went through its last file: the drawing programs'
    // objects are let go.
    void release();

private:
    DrawingPrograms programs_;
};

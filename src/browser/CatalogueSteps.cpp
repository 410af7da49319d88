// The defaults of the catalogue and distribution steps: nothing is built yet.

#include "browser/CatalogueSteps.h"

#include "browser/Browser.h"

QString catalogueThumbnailFile(const QString& ImageFolder, const QString& FolderName, const QString& baseName)
{
    return ImageFolder + FolderName + u'\\' + baseName + QStringLiteral(".jpg");
}

void WritePictureCells(const CataloguePicture&, PendingNameLinks&) {}

void WriteClosingCells(std::int16_t, const QString&, PendingNameLinks&) {}

void ConvertPicture(const QString&, const QString&, std::int16_t&) {}

void ReleaseDrawingPrograms() {}

void CreateCatalogue(Browser&) {}

void CreateDistribution(Browser&) {}

void Browser::CatFolder(QString, QString, QString, QString, QString, QString) {}

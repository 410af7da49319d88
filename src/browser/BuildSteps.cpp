// The catalogue and distribution builds as the browser starts them.

#include "browser/BuildSteps.h"

#include "browser/Browser.h"
#include "browser/BrowserBuildHost.h"
#include "browser/Disp.h"
#include "platform/Forms.h"

void startCatalogueBuild(Browser& browser)
{
    BrowserBuildHost host(browser);
    CreateCatalogue(host);
}

void startDistributionBuild(Browser&)
{
    platform::Forms::get(QStringLiteral("DistribSettings")).Show(true);
}

void Browser::CatFolder(QString HtmlName, QString FolderPath, QString HtmlFolder, QString ImageFolder, QString OldHtml,
                        QString Relative)
{
    BrowserBuildHost host(*this);
    CatalogueWalk(host).CatFolder(HtmlName, FolderPath, HtmlFolder, ImageFolder, OldHtml, Relative);
}

void PictureConversion::convert(const QString& folder, const QString& fileName, const QString& drawingName,
                                const CatalogueTimes& times, std::int16_t& ConvertStage)
{
    ConvertPicture(folder, fileName, drawingName, times, ConvertStage, programs_, showBatchProgress);
}

void PictureConversion::release() { ReleaseDrawingPrograms(programs_); }

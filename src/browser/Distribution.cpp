#include "browser/Distribution.h"

#include "browser/BuildErrors.h"
#include "browser/CdrPreview.h"
#include "browser/UniqueNames.h"
#include "platform/FileSystem.h"
#include "platform/Forms.h"
#include "platform/Pump.h"
#include "platform/Services.h"
#include "runtime/RuntimeError.h"
#include "search/ListSearch.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>

using runtime::RuntimeError;

namespace {

const QString ActionSet = QStringLiteral("TalvorenActions");
// The stand-ins' actions end at once; a drawing program that never finishes
// one must not hold the build for ever.
constexpr int MaxActionWaits = 1000;

// The drawings' names given in the build that runs.
UniqueNames& drawingsOfBuild()
{
    static UniqueNames names;
    return names;
}

// The real host path of a folder that may not exist yet: its deepest existing
// folder with links resolved, and the rest as written.
QString realFolderPath(const QString& windowsFolder)
{
    QString path = QDir::cleanPath(platform::fileSystem().hostPath(windowsFolder));
    QString rest;
    while (!QFileInfo(path).exists() && path.contains(u'/') && path != u"/") {
        rest = u'/' + QFileInfo(path).fileName() + rest;
        path = QFileInfo(path).path();
    }
    const QString real = QFileInfo(path).canonicalFilePath();
    return QDir::cleanPath((real.isEmpty() ? path : real) + rest);
}

// A picture as the drawing program opens it: a drawing through its preview,
// or the placeholder when it has none, as the thumbnail run shows it.
platform::Picture openPictureOrDrawing(const QString& path)
{
    const qsizetype split = path.lastIndexOf(u'\\') + 1;
    const QString file = pictureFileToShow(path.left(split), path.mid(split));
    const auto previewGone = qScopeGuard(removeCdrPreview);
    return platform::LoadPicture(file);
}

void runAction(platform::IllustratorApplication& illustrator, const QString& action)
{
    illustrator.DoScript(action, ActionSet);
    int waits = 0;
    do {
        platform::doEvents();
    } while (illustrator.ActionIsRunning() && ++waits < MaxActionWaits);
}

void makeFolder(const QString& path)
{
    passing75([&] { platform::fileSystem().mkDir(path); });
}

// Illustrator's steps: the picture opened, simplified and saved as the drawing.
void simplifyWithIllustrator(const QString& picture, const QString& drawing, const QString& drawingName,
                             DrawingPrograms& programs, const ProgressReport& Progress)
{
    programs.illustrator = std::make_unique<platform::IllustratorApplication>(openPictureOrDrawing);
    programs.saveOptions = std::make_unique<platform::IllustratorSaveOptions>();
    platform::IllustratorApplication& illustrator = *programs.illustrator;
    illustrator.Open(picture);
    programs.saveOptions->Compatibility = 8;
    programs.saveOptions->secondOption = 1;
    runAction(illustrator, QStringLiteral("Select All"));
    runAction(illustrator, QStringLiteral("Simplify (100%)"));
    Progress(QString(), QStringLiteral("Illustrator is saving ") + drawingName);
    illustrator.SaveAs(drawing, *programs.saveOptions);
    illustrator.Close(2);
}

// CorelDRAW's steps: the drawing opened and saved in its own format.
void convertWithCorelDraw(const QString& drawing, const QString& cdr, const QString& cdrName,
                          const ProgressReport& Progress)
{
    platform::CorelDrawApplication corel;
    platform::CorelSaveOptions options = corel.CreateSaveOptions();
    corel.Script(QStringLiteral("FileOpen"), drawing);
    corel.setSubObjectSetting(2);
    corel.Script(QStringLiteral("SelectAllObjects"));
    options.firstOption = true;
    options.secondOption = true;
    options.Filter = 1795;
    options.firstFurtherOption = 0;
    options.Version = 8;
    options.secondFurtherOption = 0;
    Progress(QString(), QStringLiteral("CoreDraw is saving ") + cdrName);
    corel.SaveAs(cdr, options);
    corel.setDocumentMember(0);
    corel.Close();
}

}  // namespace

bool outputLiesInSource(const QString& outFolder, const QString& sourceFolder)
{
    try {
        const QString out = realFolderPath(outFolder);
        const QString source = realFolderPath(sourceFolder);
        return out == source || out.startsWith(source == u"/" ? source : source + u'/');
    } catch (const RuntimeError&) {
        return false;  // the build meets the path's error and reports it
    }
}

QStringList drawingNames(const QStringList& pictures)
{
    QStringList drawings;
    for (const QString& picture : pictures)
        drawings += drawingsOfBuild().claim(baseName(picture));
    return drawings;
}

void ConvertPicture(const QString& folder, const QString& FileName, const QString& drawingName,
                    const CatalogueTimes& times, std::int16_t& ConvertStage, DrawingPrograms& programs,
                    const ProgressReport& Progress)
{
    const QString B = drawingName;
    const QString drawing = ListSearch.DistribOutFolder + B + QStringLiteral(".ai");
    const QString cdr = ListSearch.DistribOutFolder + B + QStringLiteral(".cdr");
    // A drawing left by an earlier build under the name in another case is replaced, not written into.
    for (const QString& file : {drawing, cdr})
        platform::fileSystem().matchCase(file);
    ConvertStage = 2;
    Progress(QString(), QStringLiteral("Loading Illustrator to simplify ") + FileName);
    simplifyWithIllustrator(folder + FileName, drawing, B + QStringLiteral(".ai"), programs, Progress);
    SetFileTimes(drawing, times.created, times.written, times.accessed);
    ConvertStage = 3;
    Progress(QString(), QStringLiteral("Loading CoreDraw to convert ") + B + QStringLiteral(".ai"));
    convertWithCorelDraw(drawing, cdr, B + QStringLiteral(".cdr"), Progress);
}

void ReleaseDrawingPrograms(DrawingPrograms& programs)
{
    programs.illustrator.reset();
    programs.saveOptions.reset();
}

void MakeDistribution(CatalogueHost& host)
{
    const BuildErrorRecord shownErrors;  // a file that cannot be read is reported once
    drawingsOfBuild() = UniqueNames();
    const bool previewWasBusy = ListSearch.PreviewBusy;
    ListSearch.PreviewBusy = false;
    ListSearch.CatMode = true;
    ListSearch.DistribMode = true;
    bool built = false;
    try {
        takeSourceFolder(host);
        if (!ListSearch.DistribOutFolder.endsWith(u'\\'))
            ListSearch.DistribOutFolder += u'\\';
        makeFolder(ListSearch.DistribOutFolder);
        writeCatalogue(host, ListSearch.DistribOutFolder);
        built = true;
    } catch (const RuntimeError& error) {
        reportBuildError(QStringLiteral("Create Cat Error: "), error.number(), error.description());
    }
    ListSearch.CatMode = false;
    ListSearch.DistribMode = false;
    ListSearch.PreviewBusy = previewWasBusy;
    // A preview suspended in its pumping when the build began stops when it resumes.
    if (built && previewWasBusy)
        ListSearch.PreviewStop = true;
    // The batch window closes after a failed build too, rather than show its last step.
    platform::Forms::unload(QStringLiteral("Disp"));
    ListSearch.StopFlag = false;
}

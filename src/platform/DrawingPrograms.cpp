#include "platform/DrawingPrograms.h"

#include "platform/AiDrawing.h"
#include "platform/FileSystem.h"
#include "platform/Services.h"
#include "runtime/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace platform {

namespace {

const QString ActionSet = QStringLiteral("TalvorenActions");
constexpr int Illustrator8 = 8;
constexpr int CorelDrawFormat = 1795;
constexpr int CorelDraw8 = 8;

void refuse(const QString& what) { runtime::raise(AutomationError, QStringLiteral("Automation error: ") + what); }

void writeDrawing(const QString& path, const QByteArray& bytes)
{
    const QString host = fileSystem().hostPath(path);
    if (!QFileInfo(host).absoluteDir().exists())
        runtime::raise(runtime::err::PathNotFound);
    QSaveFile file(host);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        runtime::raise(runtime::err::PathFileAccessError);
}

QByteArray readDrawing(const QString& path)
{
    const QString host = fileSystem().hostPath(path);
    if (!fileSystem().fileExists(path))
        runtime::raise(runtime::err::FileNotFound);
    QFile file(host);
    if (!file.open(QIODevice::ReadOnly))
        runtime::raise(runtime::err::PathFileAccessError);
    return file.readAll();
}

QString nameOf(const QString& path) { return path.mid(path.lastIndexOf(u'\\') + 1); }

}  // namespace

IllustratorApplication::IllustratorApplication(PictureOpener opener) : opener_(std::move(opener))
{
    if (!opener_)
        opener_ = [](const QString& path) { return LoadPicture(path); };
}

void IllustratorApplication::expect(Step step) const
{
    if (step_ != step)
        refuse(QStringLiteral("the drawing program did not expect this call now"));
}

void IllustratorApplication::Open(const QString& path)
{
    expect(Step::NoDocument);
    picture_ = opener_(path).image;
    title_ = nameOf(path);
    step_ = Step::Opened;
}

void IllustratorApplication::DoScript(const QString& action, const QString& actionSet)
{
    if (actionSet != ActionSet)
        refuse(QStringLiteral("no action set ") + actionSet);
    if (action == u"Select All") {
        expect(Step::Opened);
        step_ = Step::Selected;
    } else if (action == u"Simplify (100%)") {
        expect(Step::Selected);
        step_ = Step::Simplified;
    } else {
        refuse(QStringLiteral("no action ") + action);
    }
}

void IllustratorApplication::SaveAs(const QString& path, const IllustratorSaveOptions& options)
{
    expect(Step::Simplified);
    if (options.Compatibility != Illustrator8)
        refuse(QStringLiteral("only Illustrator 8 drawings are written"));
    writeDrawing(path, aiDrawing(picture_, nameOf(path)));
    step_ = Step::Saved;
}

void IllustratorApplication::Close(int saving)
{
    expect(Step::Saved);
    if (saving != 2)
        refuse(QStringLiteral("the document is closed only after it was saved"));
    picture_ = {};
    step_ = Step::NoDocument;
}

void CorelDrawApplication::expect(Step step) const
{
    if (step_ != step)
        refuse(QStringLiteral("the drawing program did not expect this call now"));
}

void CorelDrawApplication::Script(const QString& name, const QString& argument)
{
    if (name == u"FileOpen") {
        expect(Step::NoDocument);
        QByteArray drawing = readDrawing(argument);
        picture_ = aiDrawingPicture(drawing);
        if (picture_.isNull())
            refuse(QStringLiteral("the file is no drawing it can open"));
        drawing_ = std::move(drawing);
        step_ = Step::Opened;
    } else if (name == u"SelectAllObjects") {
        expect(Step::Set);
        step_ = Step::Selected;
    } else {
        refuse(QStringLiteral("no script command ") + name);
    }
}

void CorelDrawApplication::setSubObjectSetting(int)
{
    expect(Step::Opened);
    step_ = Step::Set;
}

void CorelDrawApplication::SaveAs(const QString& path, const CorelSaveOptions& options)
{
    expect(Step::Selected);
    if (options.Filter != CorelDrawFormat || options.Version != CorelDraw8)
        refuse(QStringLiteral("only version 8 drawings are written"));
    writeDrawing(path, cdrDrawing(drawing_, picture_));
    step_ = Step::Saved;
}

void CorelDrawApplication::setDocumentMember(int)
{
    expect(Step::Saved);
    step_ = Step::MemberSet;
}

void CorelDrawApplication::Close()
{
    expect(Step::MemberSet);
    drawing_.clear();
    picture_ = {};
    step_ = Step::NoDocument;
}

}  // namespace platform

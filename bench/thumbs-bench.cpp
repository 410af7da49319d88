// Makes a 112 by 170 thumbnail of every picture of a folder the way the
// folder thumbnail run does: the picture loaded for the box, shown at its own
// size in a picture box, captured, fitted on grey, made into the cell's
// picture and saved as a JPEG of quality 55. One thread, as the run works.
//
// usage: thumbs-bench FOLDER OUTFOLDER
// Prints the number of thumbnails made and of pictures refused.

#include "browser/ImageHelpers.h"
#include "platform/FileSystem.h"
#include "platform/Services.h"
#include "runtime/RuntimeError.h"

#include <QApplication>
#include <QDir>
#include <QThreadPool>
#include <cstdio>

namespace {

// The run's extension test: the last three characters of the name.
bool isPicture(const QString& name)
{
    static const QStringList extensions = {"bmp", "gif", "jpg", "wmf", "emf"};
    return extensions.contains(name.right(3).toLower());
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: thumbs-bench FOLDER OUTFOLDER\n");
        return 2;
    }
    QThreadPool::globalInstance()->setMaxThreadCount(1);
    platform::DriveTable drives;
    drives.mapFolder(u'c', "/");
    platform::FileSystem files(drives);
    platform::installFileSystem(&files);

    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const QDir out(QString::fromLocal8Bit(argv[2]));
    PictureBox box;
    box.setAutoSize(true);
    platform::imgdes img;
    int made = 0;
    int refused = 0;
    for (const QString& name : folder.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase)) {
        if (!isPicture(name))
            continue;
        try {
            box.setPicture(loadPictureForBox(files.windowsPath(folder.filePath(name)), ThumbnailWidth,
                                             ThumbnailHeight, ThumbnailAspect));
        } catch (const runtime::RuntimeError&) {
            ++refused;
            continue;
        }
        CaptureBoxToImage(box, img);
        FitImageToBox(img, ThumbnailWidth, ThumbnailHeight, ThumbnailAspect);
        const std::optional<platform::Picture> cell = ImageToPicture(img);
        const QString thumbnail = files.windowsPath(out.filePath(name.left(name.size() - 4) + ".jpg"));
        if (cell && platform::savejpgex(thumbnail, img, 55, 2) == platform::imagestatus::Ok)
            ++made;
    }
    platform::freeimage(img);
    std::printf("%d thumbnails made, %d pictures refused\n", made, refused);
    return 0;
}

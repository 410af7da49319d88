// Catalogues and distributions of trees whose names are hard on a page: the
// pages of a plain tree unchanged byte for byte, and a tree of awkward names
// whose every thumbnail and link, read as a browser reads the page, leads to
// the right file.

#include "CatalogueFixture.h"
#include "platform/AiDrawing.h"
#include "platform/HostNames.h"

#include <QImageReader>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace {

ino_t inodeOf(const QByteArray& path)
{
    struct stat status {};
    return ::stat(path.constData(), &status) == 0 ? status.st_ino : 0;
}

QColor centreOf(const QImage& image) { return image.pixelColor(image.width() / 2, image.height() / 2); }

struct TreeFile {
    const char* why;
    QByteArray path;         // below e:\Tree, as the disk holds it at the end
    QByteArray firstPath{};  // where it is at the first build, when elsewhere
    bool onPages = true;     // false: it cannot be read, or goes while the build runs
};

const TreeFile TreeFiles[] = {
    {"an entity", "x&amp;y 12.jpg"},
    {"an entity without its semicolon", "a&copy b.jpg"},
    {"a double quote", "q\"uote.jpg"},
    {"markup", "<b>bold.bmp"},
    {"a single quote", "it's.bmp"},
    {"Greek", "\xce\xa9mega.bmp"},
    {"Japanese", "\xe7\x8c\xab.jpg"},
    {"a Latin-1 byte", "caf\xe9.bmp"},
    {"a backslash", "back\\slash.bmp"},
    {"a folder renamed in case between builds", "50% SALE/sale.bmp", "50% Sale/sale.bmp"},
    {"folders apart only in case", "cat/in-cat.jpg"},
    {"folders apart only in case, the other", "CAT/in-CAT.jpg"},
    {"folders of one name", "A/Summer/IMG_0001.jpg"},
    {"folders of one name, the other", "B/Summer/IMG_0001.jpg"},
    {"pictures of one base name", "Lion.bmp"},
    {"pictures of one base name, the other", "Lion.jpg"},
    {"an unreadable picture", "locked.jpg", {}, false},
    {"a picture removed while the build runs", "zz gone.bmp", {}, false},
};
constexpr int TreeSize = static_cast<int>(std::size(TreeFiles));

QColor colourOf(int index) { return QColor::fromHsv(index * 360 / TreeSize, 255, 220); }

// The tree file whose colour the picture shows.
int treeFileShowing(QColor colour)
{
    const auto distance = [&](int index) {
        const QColor own = colourOf(index);
        return std::abs(own.red() - colour.red()) + std::abs(own.green() - colour.green()) +
               std::abs(own.blue() - colour.blue());
    };
    int best = 0;
    for (int index = 1; index < TreeSize; ++index)
        best = distance(index) < distance(best) ? index : best;
    return best;
}

class CatalogueNamesTest : public CatalogueFixture {
protected:
    void TearDown() override
    {
        // The sandbox's own clean-up cannot name a file whose name is no UTF-8.
        ::unlink(host("Tree/caf\xe9.bmp").constData());
        CatalogueFixture::TearDown();
    }

    QByteArray host(const QString& relative) const { return QFile::encodeName(env.hostPath("e/" + relative)); }

    // Each picture in a colour of its own; the unreadable one cannot be
    // opened even by the superuser.
    void writeTree()
    {
        for (int index = 0; index < TreeSize; ++index) {
            const TreeFile& file = TreeFiles[index];
            const QByteArray path = host("Tree") + '/' + (file.firstPath.isEmpty() ? file.path : file.firstPath);
            QDir().mkpath(QFile::decodeName(path.left(path.lastIndexOf('/'))));
            QImage image(60, 40, QImage::Format_RGB32);
            image.fill(colourOf(index));
            const QByteArray bytes = encoded(image, path.endsWith(".jpg") ? "JPG" : "BMP");
            if (!file.onPages && path.endsWith("locked.jpg") && ::geteuid() == 0) {
                ASSERT_EQ(::symlink("/proc/sys/vm/drop_caches", path.constData()), 0);
                continue;
            }
            std::FILE* out = std::fopen(path.constData(), "wb");
            ASSERT_TRUE(out);
            std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), out);
            std::fclose(out);
            if (!file.onPages && path.endsWith("locked.jpg"))
                ::chmod(path.constData(), 0);
        }
        env.fs().setFileTimes("e:\\Tree\\B\\Summer\\IMG_0001.jpg",
                              env.fs().fileTimes("e:\\Tree\\A\\Summer\\IMG_0001.jpg"));
    }

    // The thumbnails by their files on the disk, whatever their names.
    std::map<ino_t, QString> thumbnailFiles() const
    {
        std::map<ino_t, QString> files;
        QDirIterator it(env.hostPath("e/Tree/Cat/Images"), {"*.jpg"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            files[inodeOf(QFile::encodeName(file))] = file.mid(file.indexOf("/Images/") + 8);
        }
        return files;
    }

    // Checks every page of the folder as a browser reads it; gives how often
    // a name link led to each tree file.
    std::vector<int> checkPages(const QString& catFolder, bool distribution)
    {
        EXPECT_EQ(unresolvedLinks(catFolder), QStringList());
        std::vector<int> reached(TreeSize);
        QDirIterator pages(env.hostPath("e/" + catFolder), {"*.htm"}, QDir::Files);
        while (pages.hasNext()) {
            const QByteArray page = QFile::encodeName(pages.next());
            QList<QByteArray> thumbnails;
            for (const PageLink& link : linksOf(page)) {
                if (link.image && link.file.endsWith(".jpg")) {
                    EXPECT_EQ(QImageReader(QFile::decodeName(link.file)).format(), "jpeg") << link.file.toStdString();
                    thumbnails += link.file;
                }
                if (link.image || link.file.endsWith(".htm"))
                    continue;
                EXPECT_FALSE(thumbnails.isEmpty()) << page.toStdString() << ": a link without its thumbnail";
                if (thumbnails.isEmpty())
                    continue;
                const QColor thumbnail = centreOf(QImage(QFile::decodeName(thumbnails.takeFirst())));
                const QImage picture = distribution ? platform::aiDrawingPicture(readHost(link.file.chopped(4) + ".ai"))
                                                    : QImage::fromData(readHost(link.file));
                EXPECT_EQ(treeFileShowing(centreOf(picture)), treeFileShowing(thumbnail)) << link.file.toStdString();
                if (!distribution) {
                    const QByteArray name = link.file.mid(link.file.lastIndexOf('/') + 1);
                    EXPECT_EQ(link.text, platform::drivePathName(name).chopped(4));
                }
                ++reached[treeFileShowing(centreOf(picture))];
            }
        }
        return reached;
    }

    // A tree without awkward names: sub-folders two levels deep, every picture
    // format, a full and a partial row, blanks, "#", "%" and a letter of the
    // code page.
    void plainTree()
    {
        for (const QString name : {"Lion.bmp", "Rose.gif", "Beef.wmf", "100% Sale.bmp", "Clip #1.jpg", "caf\u00e9.jpg",
                                   "Animals/cow.bmp", "Animals/Birds/owl.jpg", "Flowers/a.bmp", "Flowers/b.bmp",
                                   "Flowers/c.bmp", "Flowers/d.bmp"})
            picture("Sample/" + name);
        folder("Sample/Empty");
    }
};

// Every file below the folder, with its bytes for the pages.
QStringList filesBelow(const QString& hostFolder)
{
    QStringList files;
    QDirIterator it(hostFolder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files += it.next().mid(hostFolder.size() + 1);
    files.sort();
    return files;
}

TEST_F(CatalogueNamesTest, APlainTreeGivesThePagesItAlwaysGave)
{
    plainTree();
    build("Sample");
    distribute("Sample");
    struct Output {
        QString folder;  // below e:
        QString expected;  // below the test data's catalogue folder
    } outputs[] = {{"Sample/Cat", "catalogue"}, {"out", "distribution"}};
    for (const Output& output : outputs) {
        const QString expected = QStringLiteral(BRISCA_TEST_DATA_DIR "/catalogue/") + output.expected;
        const QStringList files = filesBelow(env.hostPath("e/" + output.folder));
        QFile list(expected + "/files.txt");
        ASSERT_TRUE(list.open(QIODevice::ReadOnly));
        EXPECT_EQ(files.join('\n') + '\n', QString::fromUtf8(list.readAll())) << output.expected.toStdString();
        for (const QString& file : files) {
            if (!file.endsWith(".htm"))
                continue;
            QFile page(expected + '/' + QFileInfo(file).fileName());
            ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << file.toStdString();
            EXPECT_EQ(env.readFile("e/" + output.folder + '/' + file), page.readAll()) << file.toStdString();
        }
    }
    EXPECT_TRUE(env.dialogs().prompts().isEmpty()) << env.dialogs().prompts().join("\n").toStdString();
}

TEST_F(CatalogueNamesTest, EveryNameGetsItsThumbnailAndALinkToItsOwnPicture)
{
    writeTree();
    build("Tree");
    const std::map<ino_t, QString> thumbnails = thumbnailFiles();
    ASSERT_EQ(::rename(host("Tree/50% Sale"), host("Tree/50% SALE")), 0);
    env.dialogs().clear();
    atFirstPump([this] { ::unlink(host("Tree/zz gone.bmp")); });
    build("Tree");

    // Each unreadable picture is reported once, though the preview after the
    // build meets the locked one again.
    EXPECT_EQ(env.dialogs().prompts(),
              QStringList({"Preview Error: 75 Path/File access error: E:\\Tree\\locked.jpg",
                           "Preview Error: 53 File not found: E:\\Tree\\zz gone.bmp"}));
    QStringList madeAgain;
    for (const auto& [file, name] : thumbnailFiles()) {
        if (!thumbnails.count(file))
            madeAgain += name;
    }
    EXPECT_EQ(madeAgain, QStringList());
    EXPECT_FALSE(exists("Tree/Cat/50% Sale.htm"));
    EXPECT_FALSE(exists("Tree/Cat/Images/50% Sale"));

    env.dialogs().clear();
    distribute("Tree");
    EXPECT_EQ(env.dialogs().prompts(), QStringList{"Preview Error: 75 Path/File access error: E:\\Tree\\locked.jpg"});

    for (const bool distribution : {false, true}) {
        const std::vector<int> reached = checkPages(distribution ? "out/Cat" : "Tree/Cat", distribution);
        for (int index = 0; index < TreeSize; ++index)
            EXPECT_EQ(reached[index], TreeFiles[index].onPages ? 1 : 0)
                << TreeFiles[index].why << (distribution ? " in the distribution" : " in the catalogue");
    }
}

}  // namespace

// Catalogues and distributions of trees whose names are hard on a page: the
// pages of a plain tree unchanged byte for byte, and a tree of awkward names
// whose every thumbnail and link, read as a browser reads the page, leads to
// the right file.

#include "CatalogueFixture.h"

namespace {

class CatalogueNamesTest : public CatalogueFixture {
protected:
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

}  // namespace

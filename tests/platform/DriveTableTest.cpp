// The drive table: mounts text, disc labels, the store's drive entries and
// the roots and labels of folder and device drives.

#include "platform/DriveTable.h"
#include "platform/Mounts.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using platform::DriveTable;

namespace {

TEST(Mounts, ParsesEntriesAndDecodesOctalEscapes)
{
    const QByteArray text = "sysfs /sys sysfs rw,nosuid 0 0\n"
                            "/dev/sr0 /media/user/CLIP\\040ART\\0401 iso9660 ro,nosuid 0 0\n"
                            "\n"
                            "garbage\n"
                            "/dev/sdb1 /media/user/caf\\303\\251\\134x vfat rw 0 0\n"
                            "/dev/sr0 /mnt/again iso9660 ro 0 0";
    const std::vector<platform::MountEntry> entries = platform::parseMounts(text);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].device, u"sysfs");
    EXPECT_EQ(entries[1].device, u"/dev/sr0");
    EXPECT_EQ(entries[1].mountPoint, u"/media/user/CLIP ART 1");
    EXPECT_EQ(entries[2].mountPoint, QString::fromUtf8("/media/user/café\\x"));
    EXPECT_EQ(entries[3].mountPoint, u"/mnt/again");
}

TEST(Mounts, DecodesUdevLabelNames)
{
    EXPECT_EQ(platform::decodeLabelName(QStringLiteral("CLIP\\x20ART\\x201")), u"CLIP ART 1");
    EXPECT_EQ(platform::decodeLabelName(QStringLiteral("caf\\xc3\\xa9")), QString::fromUtf8("café"));
    EXPECT_EQ(platform::decodeLabelName(QStringLiteral("odd\\xZZ\\x2")), u"odd\\xZZ\\x2");
}

class DriveTableTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString folder(const QString& name) const
    {
        QDir().mkpath(dir.filePath(name));
        return dir.filePath(name);
    }
};

TEST_F(DriveTableTest, FolderDrivesAreReadyWhileTheFolderExists)
{
    DriveTable table;
    table.mapFolder(u'E', folder(QStringLiteral("clip art")) + u'/');
    EXPECT_TRUE(table.isMapped(u'e'));
    EXPECT_EQ(table.root(u'e'), dir.filePath(QStringLiteral("clip art")));
    EXPECT_EQ(table.volumeLabel(u'E'), u"CLIP ART");

    QDir(dir.filePath(QStringLiteral("clip art"))).removeRecursively();
    EXPECT_EQ(table.root(u'e'), std::nullopt);
    EXPECT_EQ(table.root(u'x'), std::nullopt);
    EXPECT_EQ(table.volumeLabel(u'x'), QString());

    table.mapFolder(u'c', QStringLiteral("/"));
    EXPECT_EQ(table.root(u'C'), u"/");
    EXPECT_EQ(table.volumeLabel(u'c'), QString());
}

TEST_F(DriveTableTest, AnUnmountedDeviceIsNotReady)
{
    DriveTable table;
    table.mapDevice(u'd', QStringLiteral("/dev/no-such-disc"));
    EXPECT_EQ(table.kind(u'd'), DriveTable::Kind::CdRom);
    EXPECT_EQ(table.root(u'd'), std::nullopt);
    EXPECT_EQ(table.volumeLabel(u'd'), QString());
}

TEST_F(DriveTableTest, TheStoreAddsOverridesAndRemovesLetters)
{
    platform::SettingsStore store(dir.filePath(QStringLiteral("settings.ini")));
    const QString app = QStringLiteral("Kest Velmora");
    const QString section = QStringLiteral("Drives");
    store.save(app, section, QStringLiteral("E"), folder(QStringLiteral("e-drive")));
    store.save(app, section, QStringLiteral("c:"), folder(QStringLiteral("c-drive")));
    store.save(app, section, QStringLiteral("z"), QStringLiteral("/dev/no-such-disc"));
    store.save(app, section, QStringLiteral("d"), QString());
    store.save(app, section, QStringLiteral("not a letter"), QStringLiteral("/tmp"));

    const DriveTable table = DriveTable::fromSystem(store);
    EXPECT_EQ(table.root(u'e'), dir.filePath(QStringLiteral("e-drive")));
    EXPECT_EQ(table.root(u'c'), dir.filePath(QStringLiteral("c-drive")));
    EXPECT_EQ(table.kind(u'z'), DriveTable::Kind::Removable);
    EXPECT_FALSE(table.isMapped(u'd'));
    const QList<QChar> letters = table.letters();
    EXPECT_TRUE(std::is_sorted(letters.begin(), letters.end()));
    EXPECT_TRUE(letters.contains(u'c') && letters.contains(u'e') && letters.contains(u'z'));
}

TEST_F(DriveTableTest, TheSystemTableStartsWithTheHostRoot)
{
    const DriveTable table = DriveTable::fromSystem(platform::SettingsStore(dir.filePath(QStringLiteral("none.ini"))));
    ASSERT_FALSE(table.letters().isEmpty());
    EXPECT_EQ(table.letters().first(), u'c');
    EXPECT_EQ(table.root(u'c'), u"/");
    for (QChar letter : table.letters().mid(1))
        EXPECT_NE(table.kind(letter), DriveTable::Kind::Fixed) << letter.toLatin1();
}

}  // namespace

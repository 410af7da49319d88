// The drawing preview reader on drawings built chunk by chunk: the form
// types, the walk to "DISP", the preview file it writes, and damaged drawings.

#include "browser/CdrPreview.h"
#include "platform/BitmapBytes.h"
#include "platform/PictureLoader.h"
#include "platform/Services.h"
#include "runtime/RuntimeError.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QtEndian>
#include <gtest/gtest.h>
#include <unistd.h>

using platform::BitmapInfoHeader;

namespace {

QByteArray le32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray chunk(QByteArrayView id, const QByteArray& data)
{
    QByteArray bytes = id.toByteArray() + le32(static_cast<quint32>(data.size())) + data;
    return data.size() % 2 ? bytes + '\0' : bytes;
}

QByteArray drawing(QByteArrayView formType, const QList<QByteArray>& chunks)
{
    QByteArray body = chunks.join();
    return "RIFF" + le32(static_cast<quint32>(body.size() + 4)) + formType.toByteArray() + body;
}

// A preview's header: no compression.
BitmapInfoHeader previewHeader(int width, int height, int bitCount, quint32 imageSize, quint32 colorsUsed = 0)
{
    return withColours(bitmapHeader(width, height, bitCount, 0, imageSize), colorsUsed);
}

// The "DISP" chunk: an unused value, the header, then the colours and pixels.
QByteArray preview(const BitmapInfoHeader& header, const QByteArray& colorsAndPixels)
{
    return chunk("DISP", le32(0x1234) + headerBytes(header) + colorsAndPixels);
}

// A 2 by 2 24-bit preview, bottom-up: blue, green; red, white on top.
const QByteArray TwoByTwoPixels = QByteArray::fromHex("ff0000" "00ff00" "0000" "0000ff" "ffffff" "0000");

QByteArray version() { return chunk("vrsn", QByteArray::fromHex("2003")); }

class CdrPreviewTest : public ::testing::Test {
protected:
    bool extract(const QByteArray& bytes)
    {
        env.writeFile("art/drawing.cdr", bytes);
        return ExtractCdrPreview(env.windowsPath("art") + "\\", "drawing.cdr");
    }
    QString previewHostPath() const
    {
        return env.programHostFolder() + "/" + QString::number(::gettid()) + ".dib";
    }
    QByteArray written() const
    {
        QFile file(previewHostPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    TestEnvironment env;
};

TEST_F(CdrPreviewTest, WritesA24BitPreviewAsABitmapFileThatLoads)
{
    const BitmapInfoHeader header = previewHeader(2, 2, 24, 16);
    ASSERT_TRUE(extract(drawing("CDR8", {version(), preview(header, TwoByTwoPixels)})));
    const QByteArray file = written();
    ASSERT_EQ(file.size(), 54 + 16);
    EXPECT_EQ(file.first(2), "BM");
    EXPECT_EQ(qFromLittleEndian<quint32>(file.constData() + 2), 0u);  // no file size
    EXPECT_EQ(qFromLittleEndian<quint32>(file.constData() + 6), 0u);
    EXPECT_EQ(qFromLittleEndian<quint32>(file.constData() + 10), 54u);
    EXPECT_EQ(file.mid(14, 40), headerBytes(header));
    EXPECT_EQ(file.mid(54), TwoByTwoPixels);

    EXPECT_EQ(cdrPreviewFile(), platform::programFolder() + "\\" + QString::number(::gettid()) + ".dib");
    const platform::Picture picture = platform::LoadPicture(cdrPreviewFile());
    EXPECT_EQ(picture.image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(picture.image.pixel(1, 1), qRgb(0, 255, 0));
}

class FormTypeTest : public CdrPreviewTest, public ::testing::WithParamInterface<std::pair<const char*, bool>> {};

TEST_P(FormTypeTest, OnlyTheThreeFormTypesExactlyAsWritten)
{
    const auto [formType, accepted] = GetParam();
    EXPECT_EQ(extract(drawing(formType, {preview(previewHeader(2, 2, 24, 16), TwoByTwoPixels)})), accepted);
}

INSTANTIATE_TEST_SUITE_P(FormTypes, FormTypeTest,
                         ::testing::Values(std::pair{"CDR8", true}, std::pair{"CDRC", true}, std::pair{"CDRD", true},
                                           std::pair{"cdr8", false}, std::pair{"CDR9", false},
                                           std::pair{"WAVE", false}));

TEST_F(CdrPreviewTest, PaletteOf256ColoursOrOfNoneStatedIs1024Bytes)
{
    const QByteArray colorsAndPixels = QByteArray(1024, 'p') + QByteArray(8, 'x');
    for (quint32 stated : {256u, 0u}) {
        ASSERT_TRUE(extract(drawing("CDRC", {preview(previewHeader(2, 2, 8, 8, stated), colorsAndPixels)})));
        const QByteArray file = written();
        EXPECT_EQ(qFromLittleEndian<quint32>(file.constData() + 10), 1078u) << stated;
        EXPECT_EQ(file.size(), 1078 + 8);
    }
}

TEST_F(CdrPreviewTest, SkipsAnOddChunkWithItsPadByte)
{
    const QList<QByteArray> chunks = {chunk("vrsn", "abc"), preview(previewHeader(2, 2, 24, 16), TwoByTwoPixels)};
    ASSERT_EQ(chunks[0].size(), 12);
    EXPECT_TRUE(extract(drawing("CDRD", chunks)));
}

TEST_F(CdrPreviewTest, ReplacesALongerEarlierPreviewWhole)
{
    env.writeFile("program/" + QString::number(::gettid()) + ".dib", QByteArray(5000, 'o'));
    ASSERT_TRUE(extract(drawing("CDR8", {preview(previewHeader(2, 2, 24, 16), TwoByTwoPixels)})));
    EXPECT_EQ(written().size(), 70);
}

TEST_F(CdrPreviewTest, ComputesAZeroImageSizeFromTheRows)
{
    // 3 pixels of 24 bits make 9 bytes, padded to 12; two rows.
    ASSERT_TRUE(extract(drawing("CDR8", {preview(previewHeader(3, -2, 24, 0), QByteArray(24, 'x'))})));
    EXPECT_EQ(written().size(), 54 + 24);
}

TEST_F(CdrPreviewTest, NoPreviewBeforeTheFirstList)
{
    const QByteArray withPreview = preview(previewHeader(2, 2, 24, 16), TwoByTwoPixels);
    EXPECT_FALSE(extract(drawing("CDR8", {version(), chunk("LIST", "cmdl"), withPreview})));
    EXPECT_FALSE(extract(drawing("CDR8", {version(), chunk("page", "data")})));
    EXPECT_FALSE(QFile::exists(previewHostPath()));
}

struct DamagedDrawing {
    const char* name;
    QByteArray bytes;
};

void PrintTo(const DamagedDrawing& c, std::ostream* out) { *out << c.name; }

std::vector<DamagedDrawing> damagedDrawings()
{
    const QByteArray good = drawing("CDR8", {version(), preview(previewHeader(2, 2, 24, 16), TwoByTwoPixels)});
    QByteArray hugeChunk = drawing("CDR8", {version(), preview(previewHeader(2, 2, 24, 16), TwoByTwoPixels)});
    hugeChunk.replace(16, 4, le32(0x7FFFFFFF));
    return {
        {"a chunk larger than the file", hugeChunk},
        {"an image size larger than the file", drawing("CDR8", {preview(previewHeader(2, 2, 24, 0xFFFFFFF0), TwoByTwoPixels)})},
        {"a colour count larger than the file", drawing("CDR8", {preview(previewHeader(2, 2, 8, 4, 0xFFFFFFFF), TwoByTwoPixels)})},
        {"rows whose size overflows", drawing("CDR8", {preview(previewHeader(0x7FFFFFFF, -0x7FFFFFFF, 0xFFFF, 0), TwoByTwoPixels)})},
        {"cut in the pixels", good.first(good.size() - 4)},
        {"cut in the preview header", good.first(good.size() - 30)},
        {"cut in a chunk head", good.first(16)},
        {"cut in the file head", good.first(10)},
        {"empty", {}},
    };
}

class DamagedDrawingTest : public CdrPreviewTest, public ::testing::WithParamInterface<DamagedDrawing> {};

TEST_P(DamagedDrawingTest, GivesNoPreview)
{
    EXPECT_FALSE(extract(GetParam().bytes));
    EXPECT_FALSE(QFile::exists(previewHostPath()));
}

INSTANTIATE_TEST_SUITE_P(Damaged, DamagedDrawingTest, ::testing::ValuesIn(damagedDrawings()));

TEST_F(CdrPreviewTest, AMissingDrawingIsFileNotFound)
{
    try {
        ExtractCdrPreview(env.windowsPath("art") + "\\", "none.cdr");
        FAIL() << "no error";
    } catch (const runtime::RuntimeError& error) {
        EXPECT_EQ(error.number(), runtime::err::FileNotFound);
    }
}

}  // namespace

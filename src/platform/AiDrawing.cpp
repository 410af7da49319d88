#include "platform/AiDrawing.h"

#include "platform/DibReader.h"

#include <QPainter>
#include <QtEndian>
#include <cstring>

namespace platform {

namespace {

// The image's size is given on a comment line before its operator, and its
// hex lines end at the closing comment line.
const QByteArray BeginImage = "%BriscaImage: ";
const QByteArray EndImage = "%BriscaImageEnd";
constexpr qsizetype HexCharactersPerLine = 72;

// A comment ends at its line's end: a name's control characters do not go in.
QByteArray commentText(const QString& text)
{
    QByteArray bytes = text.toLatin1();
    for (char& byte : bytes) {
        if (static_cast<unsigned char>(byte) < 0x20)
            byte = '?';
    }
    return bytes;
}

QByteArray header(const QImage& picture, const QString& title)
{
    const QByteArray size = QByteArray::number(picture.width()) + ' ' + QByteArray::number(picture.height());
    return "%!PS-Adobe-3.0\n"
           "%%Creator: Brisca drawing stand-in (Illustrator 8 compatible)\n"
           "%%Title: (" + commentText(title) + ")\n"
           "%%BoundingBox: 0 0 " + size + "\n"
           "%%HiResBoundingBox: 0 0 " + size + "\n"
           "%%DocumentProcessColors: Cyan Magenta Yellow Black\n"
           "%AI5_FileFormat 4.0\n"
           "%AI3_ColorUsage: Color\n"
           "%AI8_CreatorVersion: 8.0\n"
           "%%Pages: 1\n"
           "%%EndComments\n"
           "%%BeginProlog\n%%EndProlog\n"
           "%%BeginSetup\n"
           "<< /PageSize [" + size + "] >> setpagedevice\n"
           "%%EndSetup\n"
           "%%Page: 1 1\n";
}

// The drawing's colours with no alpha: clear parts of a picture (a GIF's
// transparent colour, a metafile's undrawn paper) lie on white paper, as a
// viewer shows them, instead of dropping to black.
QImage onWhitePaper(const QImage& picture)
{
    if (!picture.hasAlphaChannel())
        return picture.convertToFormat(QImage::Format_RGB888);
    QImage paper(picture.size(), QImage::Format_RGB888);
    paper.fill(Qt::white);
    QPainter painter(&paper);
    painter.drawImage(0, 0, picture);
    return paper;
}

}  // namespace

QByteArray aiDrawing(const QImage& picture, const QString& title)
{
    const QImage rgb = onWhitePaper(picture);
    const QByteArray width = QByteArray::number(rgb.width());
    const QByteArray height = QByteArray::number(rgb.height());
    QByteArray pixels;
    pixels.reserve(qsizetype{rgb.width()} * rgb.height() * 3);
    for (int y = 0; y < rgb.height(); ++y)
        pixels.append(reinterpret_cast<const char*>(rgb.constScanLine(y)), qsizetype{rgb.width()} * 3);
    // A zlib stream, as the Flate filter reads it: qCompress's own length prefix taken off.
    const QByteArray packed = qCompress(pixels).mid(4).toHex();

    QByteArray document = header(rgb, title);
    document += "gsave\n" + width + ' ' + height + " scale\n/DeviceRGB setcolorspace\n";
    // The operator reads the hex lines that follow its own line, up to ">".
    document += BeginImage + width + ' ' + height + "\n<< /ImageType 1 /Width " + width + " /Height " + height +
                " /BitsPerComponent 8 /Decode [0 1 0 1 0 1] /ImageMatrix [" + width + " 0 0 -" + height + " 0 " +
                height + "] /DataSource currentfile /ASCIIHexDecode filter /FlateDecode filter >> image\n";
    for (qsizetype at = 0; at < packed.size(); at += HexCharactersPerLine)
        document += packed.mid(at, HexCharactersPerLine) + '\n';
    document += ">\n" + EndImage + "\ngrestore\nshowpage\n%%Trailer\n%%EOF\n";
    return document;
}

QImage aiDrawingPicture(QByteArrayView document)
{
    const qsizetype begin = document.indexOf(BeginImage);
    if (begin < 0 || !document.startsWith("%!PS-Adobe-3.0"))
        return {};
    const qsizetype lineEnd = document.indexOf('\n', begin);
    const qsizetype dataStart = document.indexOf('\n', lineEnd + 1) + 1;  // after the operator's line
    const qsizetype end = document.indexOf(EndImage, begin);
    if (lineEnd < 0 || dataStart <= 0 || end < dataStart)
        return {};
    const QList<QByteArray> size =
        document.sliced(begin + BeginImage.size(), lineEnd - begin - BeginImage.size()).toByteArray().split(' ');
    bool wide = false;
    bool high = false;
    const int width = size.value(0).toInt(&wide);
    const int height = size.value(1).toInt(&high);
    if (!wide || !high || width <= 0 || height <= 0 || std::int64_t{width} * height > MaxBitmapPixels)
        return {};
    // qUncompress wants the length it is to give ahead of the stream.
    const quint32 length = static_cast<quint32>(width) * static_cast<quint32>(height) * 3;
    char prefix[4];
    qToBigEndian<quint32>(length, prefix);
    const QByteArray pixels = qUncompress(
        QByteArray(prefix, 4) + QByteArray::fromHex(document.sliced(dataStart, end - dataStart).toByteArray()));
    if (pixels.size() != qsizetype{length})
        return {};
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y)
        std::memcpy(image.scanLine(y), pixels.constData() + qsizetype{y} * width * 3, std::size_t(width) * 3);
    return image;
}

namespace {

QByteArray chunk(const char* id, const QByteArray& data)
{
    QByteArray bytes(id, 4);
    char size[4];
    qToLittleEndian<quint32>(static_cast<quint32>(data.size()), size);
    bytes += QByteArray(size, 4) + data;
    if (data.size() % 2)
        bytes += '\0';
    return bytes;
}

// The preview as the "DISP" chunk holds it: a 32-bit value, the info header,
// then the bottom-up 24-bit rows, each padded to four bytes.
QByteArray previewBitmap(const QImage& picture)
{
    const bool large = picture.width() > CdrPreviewSide || picture.height() > CdrPreviewSide;
    const QImage preview = onWhitePaper(
        large ? picture.scaled(CdrPreviewSide, CdrPreviewSide, Qt::KeepAspectRatio, Qt::SmoothTransformation)
              : picture);
    return QByteArray(4, '\0') + packedBitmap(preview);
}

}  // namespace

QByteArray cdrDrawing(const QByteArray& aiDocument, const QImage& picture)
{
    char version[2];
    qToLittleEndian<quint16>(800, version);
    const QByteArray body = QByteArray("CDR8") + chunk("vrsn", QByteArray(version, 2)) +
                            chunk("DISP", previewBitmap(picture)) +
                            chunk("LIST", QByteArray("doc ") + chunk("post", aiDocument));
    return chunk("RIFF", body);
}

}  // namespace platform

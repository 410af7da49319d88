#include "platform/WmfRecords.h"

#include "platform/ByteView.h"
#include "platform/DibReader.h"
#include "platform/PictureLoader.h"
#include "platform/WmfBlitRecords.h"
#include "platform/WmfRecordBytes.h"
#include "platform/WmfRecordState.h"
#include "platform/WmfTextRecords.h"

#include <QtEndian>
#include <algorithm>
#include <cstdlib>

namespace platform {

namespace {

constexpr std::uint32_t PlaceableKey = 0x9AC6CDD7;
constexpr std::int64_t PlaceableSize = 22;
constexpr std::int64_t HeaderSize = 18;

using wmfrecord::RecordHeadSize;
using wmfrecord::appendRecord;
using wmfrecord::evenLength;
namespace record = wmfrecord::function;

// A record without its bitmap has exactly the words its function code names.
bool carriesBitmap(std::uint16_t function, std::int64_t recordWords)
{
    return recordWords > (function >> 8) + 3;
}

// Where the bitmap starts in the parameters of a bitmap-carrying record.
std::int64_t bitmapOffset(std::uint16_t function)
{
    switch (function) {
    case record::BitBlt:
    case record::DibBitBlt: return 16;
    case record::StretchBlt:
    case record::DibStretchBlt: return 20;
    case record::StretchDib: return 22;
    case record::SetDibToDev: return 18;
    case record::DibCreatePatternBrush: return 4;
    default: return -1;
    }
}

bool holdsPackedBitmap(const ByteView& params, std::int64_t offset)
{
    const QByteArrayView rest = params.mid(offset, params.size() - offset);
    if (rest.size() < static_cast<qsizetype>(sizeof(BitmapInfoHeader)))
        return false;
    // The DIB reader decides whether the header, table and pixels all fit.
    return !readPackedBitmap(rest).isNull();
}

// A region's scans (each its count of edges, top, bottom, the edges, and
// its count again) stay inside the record and agree with themselves.
bool regionFits(const ByteView& params)
{
    constexpr std::int64_t ScansAt = 22;
    std::int64_t at = ScansAt;
    for (int scan = 0; scan < params.u16(10); ++scan) {
        const std::int64_t edges = params.u16(at);
        const std::int64_t length = 2 * (edges + 4);
        if (edges % 2 || !params.has(at, length) || params.u16(at + length - 2) != edges)
            return false;
        at += length;
    }
    return params.has(0, ScansAt);
}

// True when the counts a record carries stay inside its parameters.
bool countsFit(std::uint16_t function, std::int64_t recordWords, const ByteView& params)
{
    const std::int64_t length = params.size();
    switch (function) {
    case record::Polygon:
    case record::Polyline: return 2 + 4 * std::int64_t{params.u16(0)} <= length;
    case record::PolyPolygon: {
        const std::int64_t polygons = params.u16(0);
        if (2 + 2 * polygons > length)
            return false;
        std::int64_t points = 0;
        for (std::int64_t i = 0; i < polygons; ++i)
            points += params.u16(2 + 2 * i);
        return 2 + 2 * polygons + 4 * points <= length;
    }
    case record::TextOut: return 2 + evenLength(params.u16(0)) + 4 <= length;
    case record::ExtTextOut: {
        const bool hasRectangle = (params.u16(6) & 0x0006) != 0;
        return 8 + (hasRectangle ? 8 : 0) + std::int64_t{params.u16(4)} <= length;
    }
    case record::CreateRegion: return regionFits(params);
    case record::Escape: return 4 + std::int64_t{params.u16(2)} <= length;
    case record::CreatePalette:
    case record::SetPalEntries: return 4 + 4 * std::int64_t{params.u16(2)} <= length;
    case record::DibBitBlt:
    case record::DibStretchBlt:
        return !carriesBitmap(function, recordWords) || holdsPackedBitmap(params, bitmapOffset(function));
    case record::StretchDib:
    case record::SetDibToDev:
    case record::DibCreatePatternBrush: return holdsPackedBitmap(params, bitmapOffset(function));
    default: return true;
    }
}

// The colours of a device's 4- and 8-bit bitmaps: the 16 standard colours,
// which the 256-colour palette keeps at its ends (8 and 9 of its first ten
// are the two pale system colours, 246 and 247 two more).
QByteArray deviceColourTable(int bitCount)
{
    static const QByteArray dark = QByteArray::fromHex(
        "00000000" "00008000" "00800000" "00808000" "80000000" "80008000" "80800000" "c0c0c000");
    static const QByteArray bright = QByteArray::fromHex(
        "80808000" "0000ff00" "00ff0000" "00ffff00" "ff000000" "ff00ff00" "ffff0000" "ffffff00");
    if (bitCount == 4)
        return dark + bright;
    QByteArray table = dark + QByteArray::fromHex("c0dcc000" "f0caa600");
    table.append(QByteArray(4 * (246 - 10), '\0'));
    return table + QByteArray::fromHex("f0fbff00" "a4a0a000") + bright;
}

// The packed bitmap for an old-style device-dependent bitmap (a BITMAP16:
// type, width, height, bytes per row, planes, bits per pixel, then the rows
// top-down). Monochrome, 4-, 8-, 24- and 32-bit bitmaps; empty for any other.
// The rows lie a whole number of words apart, as the width and bits per
// pixel make them: a device makes its bitmap so whatever the record's own
// count of bytes per row says.
QByteArray packedFromDeviceBitmap(const ByteView& bitmap)
{
    const std::int64_t width = bitmap.i16(2);
    const std::int64_t height = bitmap.i16(4);
    const int planes = bitmap.u8(8);
    const int bitCount = bitmap.u8(9);
    const bool supported = bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 24 || bitCount == 32;
    const std::int64_t rowBytes = (width * bitCount + 15) / 16 * 2;
    const std::int64_t stride = (width * bitCount + 31) / 32 * 4;
    if (!supported || planes != 1 || width <= 0 || height <= 0 || !bitmap.has(10, rowBytes * height))
        return {};

    BitmapInfoHeader header;
    header.biWidth = static_cast<std::int32_t>(width);
    header.biHeight = static_cast<std::int32_t>(height);
    header.biBitCount = static_cast<std::uint16_t>(bitCount);
    header.biSizeImage = static_cast<std::uint32_t>(stride * height);
    QByteArray packed(reinterpret_cast<const char*>(&header), sizeof header);
    if (bitCount == 1)
        packed.append(QByteArray::fromHex("00000000ffffff00"));  // 0 black, 1 white
    else if (bitCount <= 8)
        packed.append(deviceColourTable(bitCount));
    for (std::int64_t y = height - 1; y >= 0; --y) {
        const QByteArrayView row = bitmap.mid(10 + y * rowBytes, std::min(rowBytes, stride));
        packed.append(row);
        packed.append(QByteArray(static_cast<qsizetype>(stride - row.size()), '\0'));
    }
    return packed;
}

// What stands in for a record whose counts do not add up: nothing, or, for
// a record that makes an object, an empty object of its kind, so that the
// objects after it keep their numbers.
void appendPlaceholder(QByteArray& out, std::uint16_t function)
{
    if (function == record::CreatePalette)
        appendRecord(out, function, QByteArray::fromHex("0003" "0000"));  // no entries
    else if (function == record::DibCreatePatternBrush)
        appendRecord(out, record::CreateBrushIndirect, QByteArray::fromHex("0100" "00000000" "0000"));  // a null brush
    else if (function == record::CreateRegion)
        appendRecord(out, function, QByteArray(22, '\0'));  // an empty region
}

// Copies one record to `out`: an unsound record becomes its placeholder, an
// old-style blit with a bitmap its device-independent form, a palette colour
// the colour it names, and a text what the player draws right.
void copyRecord(QByteArray& out, std::uint16_t function, std::int64_t recordWords, const ByteView& params,
                WmfRecordState& state)
{
    if (!countsFit(function, recordWords, params)) {
        appendPlaceholder(out, function);
        state.follow(function, ByteView(QByteArrayView()));  // an object made stays an empty one
        return;
    }
    const bool deviceBlit = (function == record::BitBlt || function == record::StretchBlt)
                            && carriesBitmap(function, recordWords);
    if (function == record::ExtTextOut || function == record::TextOut) {
        wmftextrecords::appendText(out, function, params, state);
    } else if (function == record::SetTextAlign) {
        wmftextrecords::appendTextAlign(out, params);
    } else if (deviceBlit) {
        const std::int64_t at = bitmapOffset(function);
        const QByteArray packed = packedFromDeviceBitmap(ByteView(params.mid(at, params.size() - at)));
        if (packed.isEmpty())
            return;  // a bitmap the renderer could not draw anyway: leave it out
        QByteArray converted = params.mid(0, at).toByteArray();
        converted.append(packed);
        if (function == record::StretchBlt)
            converted = wmfblitrecords::forwards(record::DibStretchBlt, ByteView(converted), at);
        appendRecord(out, function == record::BitBlt ? record::DibBitBlt : record::DibStretchBlt, converted);
    } else if (function == record::StretchDib || (function == record::DibStretchBlt && carriesBitmap(function, recordWords))) {
        appendRecord(out, function, wmfblitrecords::forwards(function, params, bitmapOffset(function)));
    } else {
        QByteArray copied = params.mid(0, params.size()).toByteArray();
        state.resolveColours(function, copied);
        appendRecord(out, function, copied);
    }
    state.follow(function, params);
}

bool soundHeader(const ByteView& header)
{
    const std::uint16_t type = header.u16(0);
    const std::uint16_t version = header.u16(4);
    return header.has(0, HeaderSize) && (type == 1 || type == 2) && header.u16(2) == HeaderSize / 2
           && (version == 0x0100 || version == 0x0300);
}

// Copies the records that follow the header up to the end record; false when
// a record does not lie inside the file or the end record is missing.
bool copyRecords(const ByteView& file, std::int64_t at, QByteArray& out, WmfRecordState& state)
{
    while (file.has(at, RecordHeadSize)) {
        const std::int64_t words = file.u32(at);
        const std::uint16_t function = file.u16(at + 4);
        if (words < RecordHeadSize / 2 || !file.has(at, words * 2))
            return false;
        copyRecord(out, function, words, ByteView(file.mid(at + RecordHeadSize, words * 2 - RecordHeadSize)), state);
        if (function == record::EndOfFile)
            return true;
        at += words * 2;
    }
    return false;
}

// The size in words of the largest of the records from `at` on.
std::uint32_t largestRecord(const ByteView& records, std::int64_t at)
{
    std::uint32_t largest = 0;
    for (; records.has(at, RecordHeadSize); at += std::int64_t{records.u32(at)} * 2)
        largest = std::max(largest, records.u32(at));
    return largest;
}

}  // namespace

bool looksLikeWindowsMetafile(QByteArrayView bytes)
{
    const ByteView file(bytes);
    return file.u32(0) == PlaceableKey || soundHeader(file);
}

std::optional<WindowsMetafile> checkWindowsMetafile(QByteArrayView bytes)
{
    const ByteView file(bytes);
    WindowsMetafile metafile;
    std::int64_t headerAt = 0;
    if (file.u32(0) == PlaceableKey) {
        const int width = std::abs(file.i16(10) - file.i16(6));
        const int height = std::abs(file.i16(12) - file.i16(8));
        const double unitsPerInch = file.u16(14);
        if (!file.has(0, PlaceableSize) || unitsPerInch == 0 || width == 0 || height == 0)
            return std::nullopt;
        metafile.placeableHimetric = QSizeF(width, height) * (HimetricPerInch / unitsPerInch);
        metafile.placeableFrame = QRectF(QPointF(file.i16(6), file.i16(8)), QPointF(file.i16(10), file.i16(12))).normalized();
        headerAt = PlaceableSize;
    }
    const ByteView header(file.mid(headerAt, HeaderSize));
    // A largest record that would not fit in the file betrays a forged header.
    const std::int64_t declaredLargest = header.u32(12);
    if (!soundHeader(header) || declaredLargest * 2 > file.size() - headerAt)
        return std::nullopt;

    QByteArray& out = metafile.bytes;
    out = bytes.first(headerAt + HeaderSize).toByteArray();
    WmfRecordState state(header.u16(10));  // the header's count of objects
    if (!copyRecords(file, headerAt + HeaderSize, out, state))
        return std::nullopt;
    const std::uint32_t largest = largestRecord(ByteView(out), headerAt + HeaderSize);
    qToLittleEndian<std::uint32_t>(static_cast<std::uint32_t>((out.size() - headerAt) / 2), out.data() + headerAt + 6);
    qToLittleEndian<std::uint32_t>(largest, out.data() + headerAt + 12);
    return metafile;
}

}  // namespace platform

#pragma once
// The records of a Windows metafile as the record walk (WmfRecords.h) reads
// and writes them: their function numbers, and how one is written out.

#include <QByteArray>
#include <QByteArrayView>
#include <QtEndian>
#include <cstdint>

namespace platform::wmfrecord {

namespace function {
constexpr std::uint16_t EndOfFile = 0x0000;
constexpr std::uint16_t SaveDc = 0x001E;
constexpr std::uint16_t RestoreDc = 0x0127;
constexpr std::uint16_t SetBkColor = 0x0201;
constexpr std::uint16_t SetTextColor = 0x0209;
constexpr std::uint16_t SetTextAlign = 0x012E;
constexpr std::uint16_t MoveTo = 0x0214;
constexpr std::uint16_t LineTo = 0x0213;
constexpr std::uint16_t SelectObject = 0x012D;
constexpr std::uint16_t SetPixel = 0x041F;
constexpr std::uint16_t Polygon = 0x0324;
constexpr std::uint16_t Polyline = 0x0325;
constexpr std::uint16_t PolyPolygon = 0x0538;
constexpr std::uint16_t TextOut = 0x0521;
constexpr std::uint16_t ExtTextOut = 0x0A32;
constexpr std::uint16_t Escape = 0x0626;
constexpr std::uint16_t CreatePalette = 0x00F7;
constexpr std::uint16_t SelectPalette = 0x0234;
constexpr std::uint16_t SetPalEntries = 0x0037;
constexpr std::uint16_t BitBlt = 0x0922;
constexpr std::uint16_t StretchBlt = 0x0B23;
constexpr std::uint16_t DibBitBlt = 0x0940;
constexpr std::uint16_t DibStretchBlt = 0x0B41;
constexpr std::uint16_t StretchDib = 0x0F43;
constexpr std::uint16_t SetDibToDev = 0x0D33;
constexpr std::uint16_t DibCreatePatternBrush = 0x0142;
constexpr std::uint16_t CreatePatternBrush = 0x01F9;
constexpr std::uint16_t CreatePenIndirect = 0x02FA;
constexpr std::uint16_t CreateFontIndirect = 0x02FB;
constexpr std::uint16_t CreateBrushIndirect = 0x02FC;
constexpr std::uint16_t CreateRegion = 0x06FF;
constexpr std::uint16_t DeleteObject = 0x01F0;
}  // namespace function

constexpr std::int64_t RecordHeadSize = 6;

constexpr std::int64_t evenLength(std::int64_t bytes) { return (bytes + 1) / 2 * 2; }

// Appends a record of `function` with these parameters, padded to whole words.
inline void appendRecord(QByteArray& out, std::uint16_t function, QByteArrayView params)
{
    const std::int64_t words = (RecordHeadSize + evenLength(params.size())) / 2;
    char head[RecordHeadSize];
    qToLittleEndian<std::uint32_t>(static_cast<std::uint32_t>(words), head);
    qToLittleEndian<std::uint16_t>(function, head + 4);
    out.append(head, RecordHeadSize);
    out.append(params);
    if (params.size() % 2)
        out.append('\0');
}

}  // namespace platform::wmfrecord

#pragma once
// Builds small bitmap files byte by byte, so tests can say exactly what a
// bitmap holds.

#include "platform/DibReader.h"

#include <QByteArray>
#include <QtEndian>

inline QByteArray headerBytes(const platform::BitmapInfoHeader& header)
{
    return QByteArray(reinterpret_cast<const char*>(&header), sizeof header);
}

// A ".bmp" file: the 14-byte file header, the info header, the colour table
// (4 bytes a colour, blue first) and the pixel bytes.
inline QByteArray bitmapFile(const platform::BitmapInfoHeader& header, const QByteArray& table,
                             const QByteArray& pixels)
{
    QByteArray file("BM", 2);
    char field[12] = {};
    const auto offset = static_cast<quint32>(14 + sizeof header + table.size());
    qToLittleEndian<quint32>(static_cast<quint32>(offset + pixels.size()), field);
    qToLittleEndian<quint32>(offset, field + 8);
    file.append(field, 12);
    return file + headerBytes(header) + table + pixels;
}

inline platform::BitmapInfoHeader bitmapHeader(int width, int height, int bitCount, quint32 compression = 0,
                                               quint32 imageSize = 0)
{
    platform::BitmapInfoHeader header;
    header.biWidth = width;
    header.biHeight = height;
    header.biBitCount = static_cast<quint16>(bitCount);
    header.biCompression = compression;
    header.biSizeImage = imageSize;
    return header;
}

// A header that states how many colours its table holds.
inline platform::BitmapInfoHeader withColours(platform::BitmapInfoHeader header, quint32 colours)
{
    header.biClrUsed = colours;
    return header;
}

#pragma once
// Builds small Windows metafiles record by record, so tests can say exactly
// what a drawing holds.

#include <QByteArray>
#include <QtEndian>
#include <initializer_list>
#include <vector>

// A record's function and its parameters (without the 6-byte record head).
struct MetafileRecord {
    quint16 function;
    QByteArray params;
};

// Parameters as 16-bit little-endian words.
inline QByteArray words(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (const int value : values) {
        char word[2];
        qToLittleEndian<quint16>(static_cast<quint16>(value), word);
        bytes.append(word, 2);
    }
    return bytes;
}

// A non-placeable metafile: the header, the records, then the end record.
inline QByteArray windowsMetafile(const std::vector<MetafileRecord>& records)
{
    QByteArray body;
    for (const auto& [function, params] : records) {
        char head[6];
        qToLittleEndian<quint32>(static_cast<quint32>(3 + (params.size() + 1) / 2), head);
        qToLittleEndian<quint16>(function, head + 4);
        body.append(head, 6).append(params);
        if (params.size() % 2)
            body.append('\0');
    }
    body.append(QByteArray::fromHex("030000000000"));
    // Room for eight objects.
    QByteArray header = QByteArray::fromHex("010009000003" "00000000" "0800" "00000000" "0000");
    qToLittleEndian<quint32>(static_cast<quint32>((header.size() + body.size()) / 2), header.data() + 6);
    return header + body;
}

// Records that draw: a 10 by 10 rectangle at the origin, and what it is drawn with.
namespace wmfrecord {
inline MetafileRecord rectangle() { return {0x041B, words({10, 10, 0, 0})}; }
// A brush of a style (0 solid, 1 null, 2 hatched) and colour 0x00BBGGRR.
inline MetafileRecord brush(int style, quint32 colour, int hatch = 0)
{
    return {0x02FC, words({style, int(colour & 0xFFFF), int(colour >> 16), hatch})};
}
inline MetafileRecord select(int object) { return {0x012D, words({object})}; }
inline MetafileRecord setRop2(int rop) { return {0x0104, words({rop})}; }
inline MetafileRecord patBlt(quint32 rop) { return {0x061D, words({int(rop & 0xFFFF), int(rop >> 16), 10, 10, 0, 0})}; }
}  // namespace wmfrecord

// The metafile behind a placeable header whose frame runs from (left, top)
// to (right, bottom) in units of which `unitsPerInch` make an inch.
inline QByteArray placeable(const QByteArray& metafile, int left, int top, int right, int bottom, int unitsPerInch)
{
    QByteArray header = QByteArray::fromHex("d7cdc69a" "0000")
                        + words({left, top, right, bottom, unitsPerInch}) + QByteArray(4, '\0');
    quint16 checksum = 0;
    for (int i = 0; i < header.size(); i += 2)
        checksum ^= qFromLittleEndian<quint16>(header.constData() + i);
    return header + words({checksum}) + metafile;
}

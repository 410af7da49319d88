#pragma once
// Builds small enhanced metafiles record by record, so tests can say exactly
// what a drawing holds. The drawing is 100 by 100 device pixels at one pixel
// a millimetre: logical units are device pixels until a record says otherwise.

#include <QByteArray>
#include <QRect>
#include <QString>
#include <QtEndian>
#include <bit>
#include <initializer_list>
#include <vector>

// A record's type and its fields after its 8-byte head.
struct EnhancedRecord {
    quint32 type;
    QByteArray fields;
};

// Fields as 32-bit little-endian integers.
inline QByteArray ints(std::initializer_list<qint64> values)
{
    QByteArray bytes;
    for (const qint64 value : values) {
        char field[4];
        qToLittleEndian<quint32>(static_cast<quint32>(value), field);
        bytes.append(field, 4);
    }
    return bytes;
}

inline QByteArray floats(std::initializer_list<float> values)
{
    QByteArray bytes;
    for (const float value : values)
        bytes += ints({std::bit_cast<quint32>(value)});
    return bytes;
}

// Head of a file: its header record, with room for eight objects.
inline QByteArray enhancedMetafile(const std::vector<EnhancedRecord>& records)
{
    QByteArray body;
    for (const auto& [type, fields] : records) {
        QByteArray padded = fields;
        padded.append(QByteArray((4 - padded.size() % 4) % 4, '\0'));
        body += ints({type, 8 + padded.size()}) + padded;
    }
    body += ints({14, 20, 0, 0, 20});  // the end record
    QByteArray header = ints({1, 88, 0, 0, 99, 99, 0, 0, 10000, 10000, 0x464D4520, 0x10000, 0,
                              qint64(records.size()) + 2, 8, 0, 0, 0, 100, 100, 100, 100});
    qToLittleEndian<quint32>(static_cast<quint32>(header.size() + body.size()), header.data() + 48);
    return header + body;
}

// Records that draw, and what they draw with; colours are 0x00BBGGRR.
namespace emfrecord {
inline EnhancedRecord rectangle(int left, int top, int right, int bottom)
{
    return {43, ints({left, top, right, bottom})};
}
inline EnhancedRecord solidBrush(int object, quint32 colour) { return {39, ints({object, 0, colour, 0})}; }
inline EnhancedRecord select(qint64 object) { return {37, ints({object})}; }
inline EnhancedRecord nullPen() { return select(0x80000008); }
// A pen `width` logical units wide with flat ends.
inline EnhancedRecord widePen(int object, int width, quint32 colour)
{
    return {95, ints({object, 0, 0, 0, 0, 0x10200, width, 0, colour, 0, 0})};
}
inline EnhancedRecord moveTo(int x, int y) { return {27, ints({x, y})}; }
inline EnhancedRecord lineTo(int x, int y) { return {54, ints({x, y})}; }
// An Arial font `height` logical units high (negative: the characters' height).
inline EnhancedRecord font(int object, int height)
{
    QByteArray face = QByteArray(64, '\0');
    const QString name = QStringLiteral("Arial");
    for (int i = 0; i < name.size(); ++i)
        face[2 * i] = char(name[i].unicode());
    return {82, ints({object, height, 0, 0, 0, 400, 0, 0}) + face};
}
// EXTTEXTOUTW at (x, y) with the options and, when given, one advance a character.
inline EnhancedRecord text(int x, int y, const QString& characters, quint32 options,
                           const std::vector<int>& advances = {}, QRect box = {})
{
    const int stringAt = 76;
    const int dxAt = stringAt + (characters.size() * 2 + 3) / 4 * 4;
    QByteArray fields = ints({0, 0, -1, -1, 1}) + floats({1, 1})
                        + ints({x, y, characters.size(), stringAt, options, box.left(), box.top(),
                                box.right() + 1, box.bottom() + 1, advances.empty() ? 0 : dxAt});
    for (const QChar character : characters)
        fields += QByteArray(1, char(character.unicode())) + QByteArray(1, '\0');
    fields.append(QByteArray(dxAt - 8 - fields.size(), '\0'));
    for (const int advance : advances)
        fields += ints({advance});
    return {84, fields};
}
}  // namespace emfrecord

#include "platform/Mounts.h"

#include <QList>

namespace platform {

namespace {

bool isOctalDigit(char c) { return c >= '0' && c <= '7'; }

QString decodeOctalEscapes(const QByteArray& field)
{
    QByteArray bytes;
    bytes.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctalDigit(field[i + 1])
            && isOctalDigit(field[i + 2]) && isOctalDigit(field[i + 3])) {
            bytes += static_cast<char>(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3)
                                       | (field[i + 3] - '0'));
            i += 3;
        } else {
            bytes += field[i];
        }
    }
    return QString::fromUtf8(bytes);
}

// -1 when the character is no hex digit.
int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace

std::vector<MountEntry> parseMounts(const QByteArray& text)
{
    std::vector<MountEntry> entries;
    for (const QByteArray& line : text.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 2 || fields[0].isEmpty())
            continue;
        entries.push_back({decodeOctalEscapes(fields[0]), decodeOctalEscapes(fields[1])});
    }
    return entries;
}

QString decodeLabelName(const QString& name)
{
    QByteArray bytes;
    const QByteArray raw = name.toUtf8();
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\' && i + 3 < raw.size() && raw[i + 1] == 'x') {
            const int high = hexValue(raw[i + 2]);
            const int low = hexValue(raw[i + 3]);
            if (high >= 0 && low >= 0) {
                bytes += static_cast<char>(high * 16 + low);
                i += 3;
                continue;
            }
        }
        bytes += raw[i];
    }
    return QString::fromUtf8(bytes);
}

}  // namespace platform

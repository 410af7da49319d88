// The Windows-1252 code page: bytes to UTF-16 and back, and its lower-casing.

#include "runtime/AnsiText.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace runtime {

namespace {

// 0x80-0x9F; the code page's undefined bytes stand for the control character
// of the same number.
constexpr std::array<char16_t, 32> HighControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t byteToUnit(unsigned char byte)
{
    return byte >= 0x80 && byte < 0xA0 ? HighControlRange[byte - 0x80] : char16_t(byte);
}

const std::array<unsigned char, 65536>& unitToByteTable()
{
    static const auto table = [] {
        std::array<unsigned char, 65536> units;
        units.fill('?');
        for (int byte = 0; byte < 256; ++byte)
            units[byteToUnit(static_cast<unsigned char>(byte))] = static_cast<unsigned char>(byte);
        return units;
    }();
    return table;
}

const std::array<unsigned char, 256>& lowerTable()
{
    static const auto table = [] {
        std::array<unsigned char, 256> lower;
        for (int byte = 0; byte < 256; ++byte)
            lower[byte] = static_cast<unsigned char>(byte);
        for (int byte = 'A'; byte <= 'Z'; ++byte)
            lower[byte] = static_cast<unsigned char>(byte + 32);
        for (int byte = 0xC0; byte <= 0xDE; ++byte) {
            if (byte != 0xD7)
                lower[byte] = static_cast<unsigned char>(byte + 32);
        }
        lower[0x8A] = 0x9A;
        lower[0x8C] = 0x9C;
        lower[0x8E] = 0x9E;
        lower[0x9F] = 0xFF;
        return lower;
    }();
    return table;
}

// ASCII, most of a listing, is its own byte: it is taken a block at a time,
// which the compiler turns into a few vector steps (the blocks' fixed size and
// the pointers that never overlap let it), up to the first block holding any
// other character; the rest goes through the table.
void unitsToAnsi(const char16_t* __restrict in, char* __restrict out, qsizetype size)
{
    constexpr qsizetype Block = 16;
    qsizetype at = 0;
    for (; at + Block <= size; at += Block) {
        char16_t any = 0;
        for (qsizetype i = 0; i < Block; ++i)
            any |= in[at + i];
        if (any >= 0x80)
            break;
        for (qsizetype i = 0; i < Block; ++i)
            out[at + i] = static_cast<char>(in[at + i]);
    }
    const auto& table = unitToByteTable();
    for (; at < size; ++at)
        out[at] = static_cast<char>(table[in[at]]);
}

}  // namespace

namespace {

// Whether any byte lies in 0x80-0x9F, where the code page differs from
// Latin-1; eight bytes at a time, as most texts have none.
bool holdsHighControlRange(const QByteArray& bytes)
{
    constexpr std::uint64_t Ones = 0x0101010101010101;
    const char* at = bytes.constData();
    const char* const end = at + bytes.size();
    for (; end - at >= 8; at += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, at, sizeof word);
        const std::uint64_t differs = (word & (0xE0 * Ones)) ^ (0x80 * Ones);  // a zero byte where in range
        if (((differs - Ones) & ~differs & (0x80 * Ones)) != 0)
            return true;
    }
    for (; at < end; ++at) {
        if ((static_cast<unsigned char>(*at) & 0xE0) == 0x80)
            return true;
    }
    return false;
}

}  // namespace

QString fromAnsi(const QByteArray& bytes)
{
    if (!holdsHighControlRange(bytes))
        return QString::fromLatin1(bytes);
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char byte : bytes)
        *out++ = QChar(byteToUnit(static_cast<unsigned char>(byte)));
    return text;
}

QByteArray toAnsi(const QString& text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    unitsToAnsi(reinterpret_cast<const char16_t*>(text.utf16()), bytes.data(), text.size());
    return bytes;
}

unsigned char ansiLower(unsigned char byte)
{
    return lowerTable()[byte];
}

}  // namespace runtime

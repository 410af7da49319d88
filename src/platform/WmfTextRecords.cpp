#include "platform/WmfTextRecords.h"

#include "platform/DibReader.h"
#include "platform/WmfRecordBytes.h"

#include <QtEndian>
#include <cstdlib>
#include <vector>

namespace platform::wmftextrecords {

namespace {

constexpr std::uint16_t Opaque = 0x0002;   // ETO_OPAQUE
constexpr std::uint16_t Clipped = 0x0004;  // ETO_CLIPPED
constexpr std::uint16_t DownSteps = 0x2000;  // ETO_PDY
constexpr std::uint32_t SourceCopy = 0x00CC0020;

void appendWord(QByteArray& bytes, int value)
{
    char word[2];
    qToLittleEndian<std::uint16_t>(static_cast<std::uint16_t>(value), word);
    bytes.append(word, 2);
}

// The parts of a checked EXTTEXTOUT.
struct ExtText {
    int y = 0, x = 0;
    std::uint16_t options = 0;
    QByteArrayView rectangle;  // 8 bytes, or empty
    QByteArrayView text;
    std::vector<int> steps;    // one per character, or two with down steps, or none

    explicit ExtText(const ByteView& params)
        : y(params.i16(0)), x(params.i16(2)), options(params.u16(6))
    {
        const int count = params.u16(4);
        const bool hasRectangle = options & (Opaque | Clipped);
        const std::int64_t textAt = 8 + (hasRectangle ? 8 : 0);
        rectangle = params.mid(8, hasRectangle ? 8 : 0);
        text = params.mid(textAt, count);
        const std::int64_t stepsAt = textAt + wmfrecord::evenLength(count);
        const std::int64_t wanted = std::int64_t{count} * (options & DownSteps ? 2 : 1);
        if (params.has(stepsAt, 2 * wanted))
            for (std::int64_t i = 0; i < wanted; ++i)
                steps.push_back(params.i16(stepsAt + 2 * i));
    }
};

// One EXTTEXTOUT record at (x, y) with only the rectangle's options.
void appendText(QByteArray& out, int x, int y, std::uint16_t options, QByteArrayView rectangle,
                QByteArrayView text, const std::vector<int>& steps)
{
    QByteArray params;
    appendWord(params, y);
    appendWord(params, x);
    appendWord(params, static_cast<int>(text.size()));
    appendWord(params, options & (Opaque | Clipped));
    if (options & (Opaque | Clipped))
        params.append(rectangle);
    params.append(text);
    if (text.size() % 2)
        params.append('\0');
    for (const int step : steps)
        appendWord(params, step);
    wmfrecord::appendRecord(out, wmfrecord::function::ExtTextOut, params);
}

// A block of `colour` over the rectangle: a one-pixel bitmap stretched over it.
void appendBlock(QByteArray& out, const ByteView& rectangle, std::uint32_t colour)
{
    const int left = std::min(rectangle.i16(0), rectangle.i16(4));
    const int top = std::min(rectangle.i16(2), rectangle.i16(6));
    const int width = std::abs(rectangle.i16(4) - rectangle.i16(0));
    const int height = std::abs(rectangle.i16(6) - rectangle.i16(2));
    if (width == 0 || height == 0)
        return;
    QByteArray params;
    for (const int word : {int(SourceCopy & 0xFFFF), int(SourceCopy >> 16), 0, 1, 1, 0, 0, height, width, top, left})
        appendWord(params, word);
    BitmapInfoHeader header;
    header.biWidth = 1;
    header.biHeight = 1;
    header.biBitCount = 24;
    header.biSizeImage = 4;
    params.append(reinterpret_cast<const char*>(&header), sizeof header);
    const char pixel[4] = {char(colour >> 16), char(colour >> 8), char(colour), 0};  // blue, green, red
    params.append(pixel, 4);
    wmfrecord::appendRecord(out, wmfrecord::function::StretchDib, params);
}

}  // namespace

void appendExtTextOut(QByteArray& out, const ByteView& params, const WmfRecordState& state)
{
    const ExtText record(params);
    if (record.text.isEmpty()) {
        if (record.options & Opaque)
            appendBlock(out, ByteView(record.rectangle), state.background());
        return;
    }
    if (!(record.options & DownSteps) || record.steps.empty()) {
        appendText(out, record.x, record.y, record.options, record.rectangle, record.text, record.steps);
        return;
    }
    std::vector<int> across;
    bool movesDown = false;
    for (std::size_t i = 0; i < record.steps.size(); i += 2) {
        across.push_back(record.steps[i]);
        movesDown = movesDown || record.steps[i + 1] != 0;
    }
    if (!movesDown || state.textAtCurrentPosition()) {
        appendText(out, record.x, record.y, record.options, record.rectangle, record.text, across);
        return;
    }
    // A down step moves the next character up the page, as the font's own axis runs.
    int x = record.x, y = record.y;
    for (qsizetype i = 0; i < record.text.size(); ++i) {
        const std::uint16_t options = i == 0 ? record.options : record.options & ~Opaque;
        appendText(out, x, y, options, record.rectangle, record.text.sliced(i, 1), {across[i]});
        x += across[i];
        y -= record.steps[2 * i + 1];
    }
}

}  // namespace platform::wmftextrecords

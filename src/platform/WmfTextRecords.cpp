#include "platform/WmfTextRecords.h"

#include "platform/DibReader.h"
#include "platform/WmfRecordBytes.h"
#include "platform/WmfText.h"

#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numeric>
#include <vector>

namespace platform::wmftextrecords {

namespace {

namespace fn = wmfrecord::function;

constexpr std::uint16_t Opaque = 0x0002;   // ETO_OPAQUE
constexpr std::uint16_t Clipped = 0x0004;  // ETO_CLIPPED
constexpr std::uint16_t DownSteps = 0x2000;  // ETO_PDY
constexpr std::uint16_t AtCurrentPosition = 0x0001;  // TA_UPDATECP
constexpr std::uint16_t Centre = 0x0006, Right = 0x0002;  // TA_CENTER, TA_RIGHT
constexpr std::uint32_t SourceCopy = 0x00CC0020;

void appendWord(QByteArray& bytes, int value)
{
    char word[2];
    qToLittleEndian<std::uint16_t>(static_cast<std::uint16_t>(value), word);
    bytes.append(word, 2);
}

int coordinate(double value) { return static_cast<int>(std::clamp(std::round(value), -32768.0, 32767.0)); }

// The parts of a checked TEXTOUT or EXTTEXTOUT.
struct Text {
    int y = 0, x = 0;
    std::uint16_t options = 0;
    QByteArrayView rectangle;  // 8 bytes, or empty
    QByteArrayView text;
    std::vector<int> steps;    // one per character, or two with down steps, or none

    Text(std::uint16_t function, const ByteView& params)
    {
        if (function == fn::TextOut) {
            const int count = params.u16(0);
            text = params.mid(2, count);
            y = params.i16(2 + wmfrecord::evenLength(count));
            x = params.i16(4 + wmfrecord::evenLength(count));
            return;
        }
        y = params.i16(0);
        x = params.i16(2);
        options = params.u16(6);
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

    std::vector<int> across() const { return every(0); }
    std::vector<int> down() const { return options & DownSteps ? every(1) : std::vector<int>{}; }

    // Every step from `first` on, or every other one with down steps.
    std::vector<int> every(std::size_t first) const
    {
        const std::size_t stride = options & DownSteps ? 2 : 1;
        std::vector<int> some;
        for (std::size_t i = first; i < steps.size(); i += stride)
            some.push_back(steps[i]);
        return some;
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
    wmfrecord::appendRecord(out, fn::ExtTextOut, params);
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
    QImage pixel(1, 1, QImage::Format_RGB32);
    pixel.fill(QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF));
    params.append(packedBitmap(pixel));
    wmfrecord::appendRecord(out, fn::StretchDib, params);
}

// The records that draw the text at its point.
void appendPlaced(QByteArray& out, const Text& record, const WmfRecordState& state)
{
    if (record.text.isEmpty()) {
        if (record.options & Opaque)
            appendBlock(out, ByteView(record.rectangle), state.background());
        return;
    }
    const std::vector<int> across = record.across();
    const std::vector<int> down = record.down();
    if (std::all_of(down.begin(), down.end(), [](int step) { return step == 0; })) {
        appendText(out, record.x, record.y, record.options, record.rectangle, record.text,
                   record.options & DownSteps ? across : record.steps);
        return;
    }
    // A down step moves the next character up the page, as the font's own axis runs.
    int x = record.x, y = record.y;
    for (qsizetype i = 0; i < record.text.size(); ++i) {
        const std::uint16_t options = i == 0 ? record.options : record.options & ~Opaque;
        appendText(out, x, y, options, record.rectangle, record.text.sliced(i, 1), {across[i]});
        x += across[i];
        y -= down[i];
    }
}

// How far the text moves the current position: its steps where it has
// them, else the font's measure, along the font's angle.
QPointF advanceOf(const Text& record, const WmfRecordState& state)
{
    const std::vector<int> across = record.across();
    const std::vector<int> down = record.down();
    const double along = across.empty() ? wmftext::advanceInUnits(ByteView(state.font()), record.text)
                                        : std::accumulate(across.begin(), across.end(), 0.0);
    const double angle = ByteView(state.font()).i16(4) / 10.0 * M_PI / 180;
    return {along * std::cos(angle), -along * std::sin(angle) - std::accumulate(down.begin(), down.end(), 0.0)};
}

}  // namespace

void appendText(QByteArray& out, std::uint16_t function, const ByteView& params, WmfRecordState& state)
{
    Text record(function, params);
    if (!state.textAtCurrentPosition()) {
        if (function == fn::TextOut)
            wmfrecord::appendRecord(out, function, params.mid(0, params.size()));
        else
            appendPlaced(out, record, state);
        return;
    }
    // Left-aligned text starts at the position and moves it to its end;
    // right-aligned text ends there and moves it to its start; centred text leaves it.
    const QPointF start = state.position();
    record.x = coordinate(start.x());
    record.y = coordinate(start.y());
    appendPlaced(out, record, state);
    const QPointF advance = advanceOf(record, state);
    const std::uint16_t across = state.textAlign() & Centre;
    const QPointF next = across == Centre ? start : across == Right ? start - advance : start + advance;
    state.moveTo(next);
    QByteArray move;
    appendWord(move, coordinate(next.y()));
    appendWord(move, coordinate(next.x()));
    wmfrecord::appendRecord(out, fn::MoveTo, move);
}

void appendTextAlign(QByteArray& out, const ByteView& params)
{
    QByteArray align = params.mid(0, params.size()).toByteArray();
    if (align.size() >= 2)
        qToLittleEndian<std::uint16_t>(params.u16(0) & ~AtCurrentPosition, align.data());
    wmfrecord::appendRecord(out, fn::SetTextAlign, align);
}

}  // namespace platform::wmftextrecords

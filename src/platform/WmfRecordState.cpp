#include "platform/WmfRecordState.h"

#include "platform/WmfRecordBytes.h"

#include <QtEndian>

namespace platform {

namespace fn = wmfrecord::function;

namespace {

constexpr std::uint32_t PaletteIndexFlag = 0x01000000;

// Where a record keeps its colour, or -1 for a record without one.
std::int64_t colourOffset(std::uint16_t function)
{
    switch (function) {
    case fn::SetBkColor:
    case fn::SetTextColor:
    case fn::SetPixel: return 0;
    case fn::CreateBrushIndirect: return 2;
    case fn::CreatePenIndirect: return 6;
    default: return -1;
    }
}

// The entries of a palette record (CREATEPALETTE, SETPALENTRIES): the first
// entry's number, the count, then red, green, blue and flags for each.
std::vector<std::uint32_t> paletteEntries(const ByteView& params)
{
    std::vector<std::uint32_t> colours;
    const int count = params.u16(2);
    for (int i = 0; i < count && params.has(4 + 4 * i, 4); ++i)
        colours.push_back(params.u32(4 + 4 * i) & 0x00FFFFFF);
    return colours;
}

}  // namespace

WmfRecordState::WmfRecordState(int objectSlots) : objects_(static_cast<std::size_t>(std::max(objectSlots, 0))) {}

void WmfRecordState::follow(std::uint16_t function, const ByteView& params)
{
    switch (function) {
    case fn::SaveDc: saved_.push_back(context_); break;
    case fn::RestoreDc: restore(params.i16(0)); break;
    case fn::SetBkColor: context_.background = params.u32(0) & 0x00FFFFFF; break;
    case fn::SetTextAlign: context_.textAlign = params.u16(0); break;
    case fn::CreatePalette: create(Object{true, true, paletteEntries(params), {}}); break;
    case fn::CreateFontIndirect: create(Object{true, false, {}, params.mid(0, params.size()).toByteArray()}); break;
    case fn::CreatePenIndirect:
    case fn::CreateBrushIndirect:
    case fn::CreatePatternBrush:
    case fn::DibCreatePatternBrush:
    case fn::CreateRegion: create(Object{true, false, {}, {}}); break;
    case fn::SelectPalette: context_.palette = params.u16(0); break;
    case fn::SelectObject:
        if (params.u16(0) < objects_.size() && !objects_[params.u16(0)].font.isEmpty())
            context_.font = objects_[params.u16(0)].font;
        break;
    case fn::MoveTo:
    case fn::LineTo: position_ = QPointF(params.i16(2), params.i16(0)); break;
    case fn::DeleteObject:
        if (params.u16(0) < objects_.size())
            objects_[params.u16(0)] = Object{};
        break;
    case fn::SetPalEntries:
        if (context_.palette >= 0 && std::size_t(context_.palette) < objects_.size()
            && objects_[context_.palette].palette) {
            std::vector<std::uint32_t>& colours = objects_[context_.palette].colours;
            const std::vector<std::uint32_t> entries = paletteEntries(params);
            for (std::size_t i = 0; i < entries.size() && params.u16(0) + i < colours.size(); ++i)
                colours[params.u16(0) + i] = entries[i];
        }
        break;
    default: break;
    }
}

void WmfRecordState::resolveColours(std::uint16_t function, QByteArray& params) const
{
    const std::int64_t at = colourOffset(function);
    if (at < 0 || at + 4 > params.size())
        return;
    const std::uint32_t colour = qFromLittleEndian<std::uint32_t>(params.constData() + at);
    qToLittleEndian<std::uint32_t>(resolve(colour), params.data() + at);
}

// A palette index names an entry of the selected palette; an index the
// palette lacks, or one given with no palette selected, is black.
std::uint32_t WmfRecordState::resolve(std::uint32_t colour) const
{
    if ((colour & 0xFF000000) != PaletteIndexFlag)
        return colour;
    const std::size_t index = colour & 0xFFFF;
    const bool selected = context_.palette >= 0 && std::size_t(context_.palette) < objects_.size()
                          && objects_[context_.palette].palette;
    if (!selected || index >= objects_[context_.palette].colours.size())
        return 0;
    return objects_[context_.palette].colours[index];
}

// A new object takes the lowest free number, as players number them.
void WmfRecordState::create(Object object)
{
    for (Object& free : objects_) {
        if (!free.used) {
            free = std::move(object);
            return;
        }
    }
}

// A negative level counts back from the last saved context; a positive one
// names a saved context by its number, from 1.
void WmfRecordState::restore(int level)
{
    const std::int64_t dropped = level < 0 ? -std::int64_t{level} : std::int64_t(saved_.size()) - level + 1;
    if (dropped <= 0 || dropped > std::int64_t(saved_.size()))
        return;
    context_ = saved_[saved_.size() - static_cast<std::size_t>(dropped)];
    saved_.resize(saved_.size() - static_cast<std::size_t>(dropped));
}

}  // namespace platform

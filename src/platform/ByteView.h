#pragma once
// Little-endian fields of a file held in memory. Every picture format reader
// takes its numbers through this view: a field that lies outside the bytes
// reads as 0 and `has` tells the reader so, so a short or damaged file can
// never make a reader step outside its buffer.

#include <QByteArrayView>
#include <cstdint>

namespace platform {

class ByteView {
public:
    explicit ByteView(QByteArrayView bytes) : bytes_(bytes) {}

    std::int64_t size() const { return bytes_.size(); }
    const std::uint8_t* data() const { return reinterpret_cast<const std::uint8_t*>(bytes_.data()); }
    // True when [offset, offset + length) lies inside the bytes.
    bool has(std::int64_t offset, std::int64_t length) const
    {
        return offset >= 0 && length >= 0 && offset <= size() && length <= size() - offset;
    }

    std::uint8_t u8(std::int64_t offset) const { return has(offset, 1) ? data()[offset] : 0; }
    std::uint16_t u16(std::int64_t offset) const
    {
        return has(offset, 2) ? static_cast<std::uint16_t>(data()[offset] | data()[offset + 1] << 8) : 0;
    }
    std::uint32_t u32(std::int64_t offset) const
    {
        return has(offset, 4) ? static_cast<std::uint32_t>(u16(offset) | std::uint32_t{u16(offset + 2)} << 16)
                              : 0;
    }
    std::int16_t i16(std::int64_t offset) const { return static_cast<std::int16_t>(u16(offset)); }
    std::int32_t i32(std::int64_t offset) const { return static_cast<std::int32_t>(u32(offset)); }

    // The bytes [offset, offset + length), or an empty view when they are not all there.
    QByteArrayView mid(std::int64_t offset, std::int64_t length) const
    {
        return has(offset, length) ? bytes_.sliced(offset, length) : QByteArrayView();
    }

private:
    QByteArrayView bytes_;
};

}  // namespace platform

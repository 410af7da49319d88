#include "platform/EmfRecords.h"

#include <bit>
#include <cmath>

namespace platform::emf {

namespace {

constexpr std::uint32_t Signature = 0x464D4520;  // " EMF"
constexpr std::int64_t MinHeaderSize = 88;
constexpr std::int64_t HeaderWithMicrometresSize = 108;
constexpr std::int64_t RecordHeadSize = 8;

// The length of the metafile up to and with its end record; 0 when a record
// breaks the structure or the end record is missing.
std::int64_t checkedLength(const ByteView& file)
{
    const std::int64_t headerSize = file.u32(4);
    if (headerSize < MinHeaderSize || !file.has(0, headerSize))
        return 0;
    std::int64_t at = 0;
    while (file.has(at, RecordHeadSize)) {
        const std::uint32_t type = file.u32(at);
        const std::int64_t size = file.u32(at + 4);
        if (size < RecordHeadSize || size % 4 != 0 || !file.has(at, size))
            return 0;
        at += size;
        if (type == record::EndOfFile)
            return at;
    }
    return 0;
}

}  // namespace

bool looksLikeEnhancedMetafile(QByteArrayView bytes)
{
    const ByteView file(bytes);
    return file.u32(0) == record::Header && file.u32(40) == Signature;
}

std::optional<Metafile> checkEnhancedMetafile(QByteArrayView bytes)
{
    const ByteView file(bytes);
    const std::int64_t length = looksLikeEnhancedMetafile(bytes) ? checkedLength(file) : 0;
    if (length == 0)
        return std::nullopt;
    Header header;
    header.bounds = cornersAt(file, 8);
    header.frameHimetric = cornersAt(file, 24);
    header.handles = file.u16(56);
    header.devicePixels = QSizeF(file.i32(72), file.i32(76));
    header.deviceMillimetres = QSizeF(file.i32(80), file.i32(84));
    // A longer header gives the device's size in micrometres too, which is finer.
    const QSizeF micrometres(file.i32(100), file.i32(104));
    if (file.u32(4) >= HeaderWithMicrometresSize && micrometres.width() > 0 && micrometres.height() > 0)
        header.deviceMillimetres = micrometres / 1000;
    return Metafile{bytes.first(length), header};
}

QPointF pointAt(const ByteView& record, std::int64_t at) { return QPointF(record.i32(at), record.i32(at + 4)); }

QRectF cornersAt(const ByteView& record, std::int64_t at)
{
    return QRectF(pointAt(record, at), pointAt(record, at + 8));
}

std::optional<QTransform> transformAt(const ByteView& record, std::int64_t at)
{
    double values[6];
    for (int i = 0; i < 6; ++i) {
        values[i] = std::bit_cast<float>(record.u32(at + 4 * i));
        if (!std::isfinite(values[i]) || std::abs(values[i]) > MaxTransformValue)
            return std::nullopt;
    }
    return QTransform(values[0], values[1], values[2], values[3], values[4], values[5]);
}

void forEachRecord(const Metafile& metafile, const std::function<void(std::uint32_t, const ByteView&)>& visit)
{
    const ByteView file(metafile.bytes);
    std::int64_t at = file.u32(4);
    while (file.has(at, RecordHeadSize)) {
        const std::uint32_t type = file.u32(at);
        const std::int64_t size = file.u32(at + 4);
        if (type == record::EndOfFile)
            return;
        visit(type, ByteView(file.mid(at, size)));
        at += size;
    }
}

}  // namespace platform::emf

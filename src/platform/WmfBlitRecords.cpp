#include "platform/WmfBlitRecords.h"

#include "platform/DibReader.h"
#include "platform/WmfRecordBytes.h"

#include <QImage>
#include <QtEndian>

namespace platform::wmfblitrecords {

namespace {

// Where a stretch record keeps its rectangles, in words from its parameters'
// start: each rectangle is height, width, top, left.
struct Layout {
    std::int64_t source;
    std::int64_t destination;
};

Layout layoutOf(std::uint16_t function)
{
    return function == wmfrecord::function::StretchDib ? Layout{3, 7} : Layout{2, 6};
}

void putWord(QByteArray& params, std::int64_t word, int value)
{
    qToLittleEndian<std::int16_t>(static_cast<std::int16_t>(value), params.data() + 2 * word);
}

}  // namespace

QByteArray forwards(std::uint16_t function, const ByteView& params, std::int64_t bitmapAt)
{
    const Layout layout = layoutOf(function);
    const auto word = [&](std::int64_t at) { return int{params.i16(2 * at)}; };
    const int height = word(layout.destination), width = word(layout.destination + 1);
    QByteArray rewritten = params.mid(0, params.size()).toByteArray();
    if (width >= 0 && height >= 0)
        return rewritten;
    const QImage bitmap = readPackedBitmap(params.mid(bitmapAt, params.size() - bitmapAt));
    if (bitmap.isNull())
        return rewritten;
    const bool acrossBack = width < 0, downBack = height < 0;
    // The destination runs forwards from its far corner; the part of the
    // bitmap shown is the same part of the mirrored bitmap.
    if (acrossBack) {
        putWord(rewritten, layout.destination + 3, word(layout.destination + 3) + width);
        putWord(rewritten, layout.destination + 1, -width);
        putWord(rewritten, layout.source + 3, bitmap.width() - word(layout.source + 3) - word(layout.source + 1));
    }
    if (downBack) {
        putWord(rewritten, layout.destination + 2, word(layout.destination + 2) + height);
        putWord(rewritten, layout.destination, -height);
        putWord(rewritten, layout.source + 2, bitmap.height() - word(layout.source + 2) - word(layout.source));
    }
    rewritten.truncate(bitmapAt);
    return rewritten + packedBitmap(bitmap.mirrored(acrossBack, downBack));
}

}  // namespace platform::wmfblitrecords

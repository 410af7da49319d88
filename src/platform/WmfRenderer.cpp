#include "platform/WmfRenderer.h"

#include "platform/PictureLoader.h"

#include <libwmf/api.h>
#include <libwmf/gd.h>
#include <memory>

namespace platform {

namespace {

struct ApiCloser {
    void operator()(wmfAPI* api) const { wmf_api_destroy(api); }
};
using Api = std::unique_ptr<wmfAPI, ApiCloser>;

Api createApi()
{
    wmfAPI_Options options{};
    options.function = wmf_gd_function;
    constexpr unsigned long flags =
        WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    wmfAPI* api = nullptr;
    const bool created = wmf_api_create(&api, flags, &options) == wmf_E_None;
    Api owned(api);
    return created ? std::move(owned) : nullptr;
}

bool isEmpty(const wmfD_Rect& box) { return !(box.BR.x > box.TL.x && box.BR.y > box.TL.y); }

// Copies the gd device's pixels out before libwmf frees them.
QImage copyPixels(wmfAPI* api, QSize size)
{
    wmf_gd_t* device = WMF_GD_GetData(api);
    const int* pixels = device->gd_image ? wmf_gd_image_pixels(device->gd_image) : nullptr;
    if (!pixels)
        return {};
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            out[x] = 0xFF000000u | (static_cast<unsigned>(*pixels++) & 0xFFFFFFu);
    }
    return image;
}

}  // namespace

std::optional<RenderedMetafile> renderWindowsMetafile(const WindowsMetafile& metafile, const RenderSize& renderSize)
{
    Api api = createApi();
    if (!api)
        return std::nullopt;
    QByteArray bytes = metafile.bytes;  // libwmf reads through a non-const pointer
    wmfD_Rect drawn{};
    unsigned int width = 0;
    unsigned int height = 0;
    if (wmf_mem_open(api.get(), reinterpret_cast<unsigned char*>(bytes.data()), bytes.size()) != wmf_E_None
        || wmf_scan(api.get(), 0, &drawn) != wmf_E_None
        || wmf_display_size(api.get(), &width, &height, PixelsPerInch, PixelsPerInch) != wmf_E_None)
        return std::nullopt;

    const QSizeF ownHimetric =
        metafile.placeableHimetric.value_or(himetricFromPixels(QSizeF(width, height)));
    const QSize own = pixelsFromHimetric(ownHimetric).expandedTo(QSize(1, 1));
    const QSize size = renderSize(own).expandedTo(QSize(1, 1));
    if (isEmpty(drawn)) {
        // A metafile that draws nothing is a blank picture of its size.
        QImage blank(size, QImage::Format_RGB32);
        blank.fill(Qt::white);
        return RenderedMetafile{blank, ownHimetric};
    }

    // The drawn area is stretched over the whole image, which has the metafile's proportions.
    wmf_gd_t* device = WMF_GD_GetData(api.get());
    device->type = wmf_gd_image;
    device->bbox = drawn;
    device->width = static_cast<unsigned int>(size.width());
    device->height = static_cast<unsigned int>(size.height());
    if (wmf_play(api.get(), 0, &drawn) != wmf_E_None)
        return std::nullopt;
    QImage image = copyPixels(api.get(), size);
    if (image.isNull())
        return std::nullopt;
    return RenderedMetafile{image, ownHimetric};
}

}  // namespace platform

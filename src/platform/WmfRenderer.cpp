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

// libwmf hands a drawn image to its caller with no way to free it, but it
// frees an image it writes out as PNG: the drawing comes out as PNG bytes
// through this sink.
int appendPng(void* png, char* bytes, int length)
{
    static_cast<QByteArray*>(png)->append(bytes, length);
    return length;
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
    QByteArray png;
    wmf_gd_t* device = WMF_GD_GetData(api.get());
    device->type = wmf_gd_png;
    device->flags |= WMF_GD_OUTPUT_MEMORY | WMF_GD_OWN_BUFFER;
    device->sink = {&png, appendPng};
    device->bbox = drawn;
    device->width = static_cast<unsigned int>(size.width());
    device->height = static_cast<unsigned int>(size.height());
    if (wmf_play(api.get(), 0, &drawn) != wmf_E_None)
        return std::nullopt;
    const QImage image = QImage::fromData(png, "PNG").convertToFormat(QImage::Format_RGB32);
    if (image.size() != size)
        return std::nullopt;
    return RenderedMetafile{image, ownHimetric};
}

}  // namespace platform

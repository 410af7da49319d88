#include "platform/WmfRenderer.h"

#include "platform/PictureLoader.h"
#include "platform/WmfDevice.h"

#include "platform/LibWmf.h"
#include <memory>

namespace platform {

namespace {

struct PlayerCloser {
    void operator()(wmfAPI* api) const { wmf_lite_destroy(api); }
};
using Player = std::unique_ptr<wmfAPI, PlayerCloser>;

// libwmf's player with our device's function table.
Player createPlayer()
{
    wmfAPI_Options options{};
    options.function = WmfDevice::fillFunctionTable;
    constexpr unsigned long flags =
        WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    wmfAPI* api = nullptr;
    const bool created = wmf_lite_create(&api, flags, &options) == wmf_E_None;
    Player owned(api);
    return created ? std::move(owned) : nullptr;
}

bool isEmpty(const wmfD_Rect& box) { return !(box.BR.x > box.TL.x && box.BR.y > box.TL.y); }

}  // namespace

std::optional<RenderedMetafile> renderWindowsMetafile(const WindowsMetafile& metafile, const RenderSize& renderSize)
{
    Player player = createPlayer();
    if (!player)
        return std::nullopt;
    // Until the scan has found the drawn area, the device only measures text.
    WmfDevice measuring(QSize(1, 1), wmfD_Rect{});
    measuring.attach(player.get());
    QByteArray bytes = metafile.bytes;  // libwmf reads through a non-const pointer
    wmfD_Rect drawn{};
    unsigned int width = 0;
    unsigned int height = 0;
    if (wmf_mem_open(player.get(), reinterpret_cast<unsigned char*>(bytes.data()), bytes.size()) != wmf_E_None
        || wmf_scan(player.get(), 0, &drawn) != wmf_E_None
        || wmf_display_size(player.get(), &width, &height, PixelsPerInch, PixelsPerInch) != wmf_E_None)
        return std::nullopt;

    const QSizeF ownHimetric =
        metafile.placeableHimetric.value_or(himetricFromPixels(QSizeF(width, height)));
    const QSize own = pixelsFromHimetric(ownHimetric).expandedTo(QSize(1, 1));
    const QSize size = renderSize(own).expandedTo(QSize(1, 1));
    // The drawn area, cut to the frame, is stretched over the whole image,
    // which has the metafile's proportions; a metafile that draws nothing is
    // a blank picture.
    WmfDevice device(size, drawn, metafile.placeableFrame);
    if (!isEmpty(drawn)) {
        device.attach(player.get());
        if (wmf_play(player.get(), 0, &drawn) != wmf_E_None)
            return std::nullopt;
        device.end();
    }
    return RenderedMetafile{device.image(), ownHimetric};
}

}  // namespace platform

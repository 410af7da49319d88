#pragma once
// What the metafile record walk (WmfRecords.h) keeps of the state a player
// builds, for the records it rewrites before libwmf's player sees them: the
// object table (which objects are palettes, and their colours), the selected
// palette, the background colour and the text alignment, saved and restored
// with the device context.

#include "platform/ByteView.h"

#include <QByteArray>
#include <cstdint>
#include <vector>

namespace platform {

class WmfRecordState {
public:
    // `objectSlots`: the number of objects the header says the metafile holds at once.
    explicit WmfRecordState(int objectSlots);

    // Follows one record as it is passed on.
    void follow(std::uint16_t function, const ByteView& params);

    // Rewrites the colours a record carries (pens, brushes, text, background,
    // pixels) that name an entry of the selected palette as that entry's
    // colour: the player reads every colour as red, green and blue.
    void resolveColours(std::uint16_t function, QByteArray& params) const;

    // The background colour, a COLORREF of red, green and blue.
    std::uint32_t background() const { return context_.background; }
    // True when text is placed at the current position, not at its record's point.
    bool textAtCurrentPosition() const { return context_.textAlign & 0x0001; }

private:
    struct Object {
        bool used = false;
        bool palette = false;
        std::vector<std::uint32_t> colours;  // a palette's entries
    };
    struct Context {
        std::uint32_t background = 0x00FFFFFF;
        std::uint16_t textAlign = 0;
        int palette = -1;  // the selected palette's object number
    };

    std::uint32_t resolve(std::uint32_t colour) const;
    void create(bool palette, std::vector<std::uint32_t> colours = {});
    void restore(int level);

    std::vector<Object> objects_;
    Context context_;
    std::vector<Context> saved_;
};

}  // namespace platform

#pragma once
// What the metafile record walk (WmfRecords.h) keeps of the state a player
// builds, for the records it rewrites before libwmf's player sees them: the
// object table (which objects are palettes, and their colours), the selected
// palette, the selected font, the background colour and the text alignment,
// saved and restored with the device context, and the current position.

#include "platform/ByteView.h"

#include <QByteArray>
#include <QPointF>
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
    std::uint16_t textAlign() const { return context_.textAlign; }
    // The parameters of the record that made the selected font; empty with none.
    const QByteArray& font() const { return context_.font; }
    // The current position, in the metafile's units; text drawn at it moves it on.
    QPointF position() const { return position_; }
    void moveTo(QPointF position) { position_ = position; }

private:
    struct Object {
        bool used = false;
        bool palette = false;
        std::vector<std::uint32_t> colours;  // a palette's entries
        QByteArray font;                     // a font's record parameters
    };
    struct Context {
        std::uint32_t background = 0x00FFFFFF;
        std::uint16_t textAlign = 0;
        int palette = -1;  // the selected palette's object number
        QByteArray font;
    };

    std::uint32_t resolve(std::uint32_t colour) const;
    void create(Object object);
    void restore(int level);

    std::vector<Object> objects_;
    Context context_;
    std::vector<Context> saved_;
    QPointF position_;  // the player keeps it apart from the saved contexts
};

}  // namespace platform

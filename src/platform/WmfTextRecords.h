#pragma once
// Extended text records (EXTTEXTOUT) rewritten by the metafile record walk
// (WmfRecords.h) into forms libwmf's player draws as they are meant:
// - the player takes any option for a rectangle and reads the text from the
//   wrong place, so options other than the rectangle's are dropped;
// - a record with no characters that fills its rectangle with the background
//   colour (ETO_OPAQUE) is drawn by the player as nothing: it becomes a block
//   of that colour;
// - characters placed by pairs of across and down steps (ETO_PDY), which the
//   player reads as steps across only, are drawn one record each at their
//   own points;
// - text drawn at the current position (TA_UPDATECP) is left there by the
//   player, so what follows overwrites it: the walk keeps the position,
//   draws such text at it as at any point, and moves it on by the text's
//   advance (its steps, or the font's measure) for what follows.

#include "platform/ByteView.h"
#include "platform/WmfRecordState.h"

#include <QByteArray>

namespace platform::wmftextrecords {

// Appends the records that draw the TEXTOUT or EXTTEXTOUT with these
// parameters, whose counts the walk has checked, and moves the current
// position on when the text is drawn at it.
void appendText(QByteArray& out, std::uint16_t function, const ByteView& params, WmfRecordState& state);

// Appends SETTEXTALIGN without its current position flag: the walk places
// that text itself.
void appendTextAlign(QByteArray& out, const ByteView& params);

}  // namespace platform::wmftextrecords

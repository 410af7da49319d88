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
//   own points (or, at the current position, with their steps across).

#include "platform/ByteView.h"
#include "platform/WmfRecordState.h"

#include <QByteArray>

namespace platform::wmftextrecords {

// Appends the records that draw the EXTTEXTOUT with these parameters, whose
// counts the walk has checked.
void appendExtTextOut(QByteArray& out, const ByteView& params, const WmfRecordState& state);

}  // namespace platform::wmftextrecords

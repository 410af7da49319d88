#pragma once
// The drawing files the drawing-program stand-ins write, which are not
// converted by the drawing programs themselves but made here:
//
// - an ".ai" drawing, compatible with Illustrator 8: a PostScript document
//   with the Illustrator comments in its header and the picture as one
//   embedded RGB image at its own size (one pixel to a point, Flate packed,
//   so clip art of a few colours stays small), which common PostScript tools
//   render;
// - a ".cdr" drawing: a RIFF file of form "CDR8" whose "vrsn" chunk gives
//   version 800, whose "DISP" chunk (before the first "LIST" chunk, where
//   the drawing preview reader looks) holds a 24-bit preview of the picture,
//   and whose "LIST" chunk of type "doc " carries the ".ai" drawing whole in a
//   chunk "post". It holds no drawing of the drawing program's own.

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QString>

namespace platform {

// The ".ai" document of the picture, titled with the file's name.
QByteArray aiDrawing(const QImage& picture, const QString& title);
// The picture embedded in an ".ai" document written by aiDrawing; a null
// image for any other document.
QImage aiDrawingPicture(QByteArrayView document);

// Previews are the picture's own size, or at most this many pixels on their
// longer side.
inline constexpr int CdrPreviewSide = 256;
// The ".cdr" file carrying the ".ai" document and a preview of its picture.
QByteArray cdrDrawing(const QByteArray& aiDocument, const QImage& picture);

}  // namespace platform

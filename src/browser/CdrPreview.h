#pragma once
// The preview bitmap a CorelDRAW drawing carries. A drawing is a RIFF file
// (little-endian): a 12-byte head whose form type is "CDR8", "CDRC" or
// "CDRD", then chunks of an 8-byte head (identifier, data size) and their
// data, padded to an even length. The preview is the "DISP" chunk: a 32-bit
// value, a 40-byte BITMAPINFOHEADER, the colour table and the pixels. It must
// come before the first "LIST" chunk.
//
// The preview is written as a bitmap file: the program folder, the running
// thread's id in decimal and ".dib" (for example 1234.dib), replaced whole by
// every drawing. When the program folder cannot be written (an installed
// program), the user's cache folder takes its place. Whoever loads it removes
// it then (removeCdrPreview), so no preview outlives its picture. Its 14-byte
// file header gives the size 0 and the pixel offset 54 + the colour table's size.

#include <QString>

// Writes the preview of Folder & FileName (Folder ends with a backslash) and
// returns true; false when the drawing has no preview before its first "LIST"
// chunk, has another form type, or is cut short. Raises 53 when the drawing is
// missing, 75 when it cannot be read or the preview file cannot be written.
bool ExtractCdrPreview(const QString& Folder, const QString& FileName);

// The Windows path of the preview file this thread wrote last; empty before
// the first and once it has been removed.
QString cdrPreviewFile();
// Removes the preview file this thread wrote last, if it is still there.
void removeCdrPreview();

// The file a picture is shown from: Folder & FileName itself, or for a drawing
// (a name ending in "cdr", in any case) the preview it carries, written out by
// ExtractCdrPreview, or the placeholder "genfile.jpg" beside the program when
// it has none. Raises as ExtractCdrPreview does. The caller removes a preview
// with removeCdrPreview once it has loaded it.
QString pictureFileToShow(const QString& Folder, const QString& FileName);

// The placeholder picture "genfile.jpg" beside the program, shown for what has no picture of its own.
QString placeholderPicture();

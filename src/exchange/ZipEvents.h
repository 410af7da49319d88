#pragma once
// The handlers of the update archive's zip control (UpdateZip), which serve
// every operation it runs: the archive check at start and the web update.

#include "runtime/DateTime.h"

#include <QString>

namespace platform {
class ZipControl;
}

// An entry more than one minute boundary after ListFileDate (the main
// listing's time) becomes TextFile and sets ArchiveNewer; nothing else changes.
void Zip_EntryInfo(const QString& name, qint64 size, qint64 packedSize, quint32 crc, int month,
                   int day, int year, int hour, int minute);
// Shows "Archive Error: " and the control's text for the code.
void Zip_ArchiveError(platform::ZipControl& Zip, int code);
// Pumps pending window messages.
void Zip_Idle();
// Moves the progress window's bar (loading the window when needed), then pumps.
void Zip_Progress(double percent, qint64 bytesDone, qint64 bytesTotal, int entriesDone,
                  int entriesTotal);

// The minute boundaries passed from `from` to `to`: both cut to the whole
// minute, the first subtracted from the second (10:30:59 to 10:31 is 1).
qint64 minuteBoundaries(runtime::Date from, runtime::Date to);

#pragma once
// Writing location listings: the folder walk that lists a folder and every
// folder below it, one block per folder, pre-order and depth first, in the
// file system's own order (ListingReader.h reads them back). A block is:
//   ""
//   "Volume:    " & the volume label
//   "Directory: " & the folder without its drive, ending with "\"
//   ""
//   "<DIR> " & name, one line per sub-folder, then "" when there was any
//   one line per file: the name cut or padded to 65 columns, the size with
//   group separators right-aligned in 16 columns (without them from 10 GB on,
//   to stay within 13; "n/a", unpadded, when it cannot be read), " bytes " and
//   the last-modified time as general date text.
// "pagefile.sys" (that exact spelling) is never listed. Lines end with CR LF.
// Columns count UTF-16 units, as the program's strings do; a listing whose
// names do not all fit Windows-1252 is written in UTF-8 after a byte-order
// mark by its writer (runtime::AnsiTextWriter::Encoding::AnsiOrUtf8).

#include <QSet>
#include <QString>

namespace runtime {
class AnsiTextWriter;
}

// The one or two open files a walk writes to; Flags choose per line.
struct ListingFiles {
    runtime::AnsiTextWriter* file1 = nullptr;
    runtime::AnsiTextWriter* file2 = nullptr;
};

namespace listingflags {
inline constexpr int FoldersOnly = 2;  // no file lines
inline constexpr int File1Only = 8;
inline constexpr int File2Only = 16;   // when File1Only is clear
inline constexpr int BothFiles = 32;   // file1 first, when the two above are clear
}  // namespace listingflags

// Writes the text and CR LF to the file(s) that the flags choose; with none of
// the three file bits set, nothing. A chosen file that is not open raises 52.
void PrintListingLine(const QString& text, const ListingFiles& files, int flags);

// The messages a run of walks has shown (a rescan keeps one for all its
// locations): each text is shown once, and a step that fails with it again is
// passed over as after Ignore, so no name brings the same box back.
using ShownMessages = QSet<QString>;

// Writes the blocks of `path` (a drive path, with or without its trailing
// backslash) and of every folder below it. A path shorter than 3 characters
// writes nothing. File lines list the files matching `pattern`; sub-folders are
// found with "*.*". A folder holds at most 1001 sub-folders and 10001 files.
// Each real folder is walked once, however many links lead to it; a later
// way to one is no sub-folder. Errors are reported per entry through the
// dialog seam and the walk goes on; Abort in the Abort/Retry/Ignore question
// leaves the folder in hand; Ignore on a full list drops the folder's further
// sub-folders or files without asking again. Messages are pumped after each
// sub-folder, and a set StopFlag then ends the walk.
void WriteFolderListing(QString path, const QString& pattern, const ListingFiles& files,
                        const QString& volumeLabel, int flags, ShownMessages* shown = nullptr);

#pragma once
// Listing files: the directory-style text, one record a line in the
// Windows-1252 code page, that the folder walk writes for every search
// location and that the collection's main listing follows. This reader takes
// every listing apart by one set of rules, line by line (all tests are
// case-sensitive):
// - an empty line is skipped;
// - a line holding "Volume:" anywhere sets the current volume: the line with
//   every "Volume:" removed, blanks trimmed at both ends;
// - otherwise a line holding "Directory:" sets the current folder the same way
//   (it keeps its leading and trailing backslash);
// - otherwise a line holding "<DIR>" or a rule of 15 hyphens is skipped;
// - every other line is an entry. A line longer than 69 characters has its name
//   in columns 1-68 with trailing blanks dropped and its info part from column
//   69 on; a shorter line is the name as a whole and leaves the info part of an
//   earlier line in force.
// Volume, folder and info part start empty in each file. Lines end with CR LF,
// LF or CR.
//
// A listing that begins with a UTF-8 byte-order mark is in UTF-8, and its
// columns count UTF-16 units, as the program's strings do (a character
// outside the first 65,536 takes two); its marks are the same ASCII bytes.
//
// The reader works on the raw bytes, streamed a stretch at a time (see
// ListingInput): its memory is one stretch and the longest line, whatever the
// listing's size.

#include "search/ByteSearch.h"
#include "search/ListingInfoPart.h"
#include "search/ListingInput.h"

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class QIODevice;

class ListingReader {
public:
    // Reads from an open device: a file, or a buffer in tests; `stretch`
    // bytes of it are in hand at a time.
    explicit ListingReader(QIODevice& device, std::size_t stretch = ListingInput::DefaultStretch);

    // Whether the listing is in UTF-8 rather than Windows-1252.
    bool isUtf8() const { return utf8_; }

    // Moves to the next entry line; false at the end of the listing. Raises 75
    // when the device fails to read.
    bool nextEntry();

    // Passes over the entry lines that follow, at most `most` of them, while
    // each is a plain entry (no mark) in which none of `words` may begin; an
    // empty line is passed over too. Looks only at the bytes read so far, and
    // stops before a line it cannot tell about. Returns the entries passed.
    // The info part of the last long line passed is kept in force.
    std::int32_t skipEntriesWithout(const WordStarts& words, std::int32_t most);

    // The current entry and the state the lines before it set, as the
    // listing's raw bytes; valid until the next call of nextEntry. At least 16
    // readable bytes follow the name, for the word search.
    std::string_view name() const { return name_; }
    std::string_view volume() const { return volume_; }
    std::string_view folder() const { return folder_; }
    std::string_view info() const { return info_; }
    // Counts the directory lines read so far: a change means a new folder.
    std::uint64_t folderNumber() const { return folderNumber_; }

    // Size and date from the info part in force, when it is longer than 32
    // characters; otherwise the values this call gave last (0 and the zero
    // date at first).
    ListingSizeAndDate takeSizeAndDate();

    QString nameText() const;
    QString volumeText() const;
    QString folderText() const;

private:
    enum class LineKind { Empty, Volume, Directory, Skipped, Entry };

    // The next line and its kind; false at the end of the listing.
    bool nextLine(std::string_view& line, LineKind& kind);
    void refill();
    void takeEntry(std::string_view line);
    QString textOf(std::string_view bytes) const;

    ListingInput input_;
    const char* begin_;  // first byte not yet read as a line
    bool atEnd_ = false;
    bool utf8_ = false;

    std::string volume_;
    std::string volumeLine_;  // the line that set it
    std::string folder_;
    std::string_view name_;
    std::string_view info_;  // into the bytes in hand, or into infoCopy_ after a refill
    std::string infoCopy_;
    std::uint64_t folderNumber_ = 0;
    ListingSizeAndDate taken_;
};

#include "search/ListingReader.h"

#include "runtime/AnsiText.h"
#include "search/ByteSearch.h"
#include "search/Utf8Search.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr std::size_t LongLine = 69;     // longer lines carry an info part
constexpr std::size_t NameColumns = 68;  // the name of a long line
constexpr std::size_t ShortInfo = 32;    // an info part this short holds no size or date...
constexpr std::size_t SizeColumns = 13;  // ...unless " bytes " follows a full size field
constexpr std::string_view BytesField = " bytes ";

constexpr std::string_view VolumeMark = "Volume:";
constexpr std::string_view DirectoryMark = "Directory:";
constexpr std::string_view SubFolderMark = "<DIR>";
constexpr std::string_view RuleMark = "---------------";

// Sets `into` to the line with every mark removed, blanks trimmed at both
// ends, in the storage it has (a listing sets its folder for every folder).
void assignWithoutMark(std::string& into, std::string_view line, std::string_view mark)
{
    into.clear();
    for (std::size_t at = line.find(mark); at != std::string_view::npos; at = line.find(mark)) {
        into.append(line.substr(0, at));
        line.remove_prefix(at + mark.size());
    }
    into.append(line);
    const std::size_t last = into.find_last_not_of(' ');
    into.erase(last == std::string::npos ? 0 : last + 1);
    into.erase(0, into.find_first_not_of(' '));
}

#if defined(__SSE2__)
__m128i equalAt(const char* bytes, char byte)
{
    return _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes)), _mm_set1_epi8(byte));
}

// Bits 0-15 for the sixteen bytes at `at` that end a line: CR and LF.
unsigned lineEndMask(const char* at)
{
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(equalAt(at, '\n'), equalAt(at, '\r'))));
}

// Bits 0-15 for the sixteen bytes at `at` that may be part of a mark: a colon
// after "e" or "y" or a byte that looks the same with bits 0x1C set
// ("Volume:", "Directory:"), "<" ("<DIR>") and a hyphen before a hyphen (a
// rule). Reads the byte before `at` and the one after the sixteen.
unsigned markMask(const char* at)
{
    const __m128i beforeFolded = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at - 1)),
                                              _mm_set1_epi8(ColonFold));
    const __m128i colons = _mm_and_si128(equalAt(at, ':'), _mm_cmpeq_epi8(beforeFolded, _mm_set1_epi8(ColonAfter)));
    const __m128i subFolders = equalAt(at, '<');
    const __m128i rules = _mm_and_si128(equalAt(at, '-'), equalAt(at + 1, '-'));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(colons, _mm_or_si128(subFolders, rules))));
}
#endif

// The scan of a line stops at CR and LF and at the bytes that may be part of
// a mark. Typical entry lines hold none of these, so the scan runs through
// them to their end at once.
// Returns the first stop at or after `at`, or `end`. Reads one byte before
// `at` and up to 32 bytes past `end`, which the input's margins hold.
const char* nextStop(const char* at, const char* end)
{
#if defined(__SSE2__)
    for (; at < end; at += 16) {
        if (const unsigned mask = lineEndMask(at) | markMask(at))
            return std::min(at + __builtin_ctz(mask), end);
    }
    return end;
#else
    while (at < end && *at != '\n' && *at != '\r' && !mayBeMark(at))
        ++at;
    return at;
#endif
}

bool endsAt(const char* lineStart, const char* at, std::string_view word)
{
    return static_cast<std::size_t>(at - lineStart) >= word.size() &&
        std::memcmp(at - word.size(), word.data(), word.size()) == 0;
}

// The marks met so far in one line.
struct LineMarks {
    bool volume = false;
    bool directory = false;
    bool skipped = false;   // "<DIR>" or a rule of hyphens
    bool complete = true;   // false when a mark may run past the bytes in hand

    // Looks at the stop byte at `at` (not a line end), moving `at` past a run
    // of hyphens; false when the bytes in hand end inside a possible mark.
    bool note(const char* lineStart, const char*& at, const char* end)
    {
        if (*at == ':') {
            volume = volume || endsAt(lineStart, at, VolumeMark.substr(0, VolumeMark.size() - 1));
            directory = directory || endsAt(lineStart, at, DirectoryMark.substr(0, DirectoryMark.size() - 1));
        } else if (*at == '<') {
            if (static_cast<std::size_t>(end - at) < SubFolderMark.size())
                return complete = false;
            skipped = skipped || std::string_view(at, SubFolderMark.size()) == SubFolderMark;
        } else {
            const char* run = at;
            while (run < end && *run == '-')
                ++run;
            skipped = skipped || static_cast<std::size_t>(run - at) >= RuleMark.size();
            at = run - 1;
            if (run == end)
                return complete = false;
        }
        return true;
    }
};

// A file dated exactly midnight has the date alone, which leaves its info part
// short; it still carries its own size and date, and must not show the
// previous entry's.
bool holdsSizeAndDate(std::string_view info)
{
    return info.size() > ShortInfo ||
           (info.size() > SizeColumns + BytesField.size() &&
            info.substr(SizeColumns, BytesField.size()) == BytesField);
}

// The pass takes a line of more than 69 bytes for a long one; in UTF-8 it
// may hold fewer units. The last line from `first` up to `line` (which ends
// no earlier) that is longer than 69 units, or an empty view when there is
// none: the lines the pass took for short are short in units too.
std::string_view lastLongUtf8Line(const char* first, std::string_view line)
{
    const auto isEnd = [](char byte) { return byte == '\r' || byte == '\n'; };
    for (;;) {
        if (utf8Prefix(line, LongLine) < line.size())
            return line;
        const char* end = line.data();
        while (end > first && isEnd(end[-1]))
            --end;
        const char* start = end;
        while (start > first && !isEnd(start[-1]))
            --start;
        if (start == end)
            return {};
        line = std::string_view(start, static_cast<std::size_t>(end - start));
    }
}

}  // namespace

ListingReader::ListingReader(QIODevice& device, std::size_t stretch)
    : input_(device, stretch), begin_(input_.begin())
{
    const std::size_t markSize = runtime::Utf8ByteOrderMark.size();
    while (!atEnd_ && static_cast<std::size_t>(input_.end() - begin_) < markSize)
        refill();
    if (std::string_view(begin_, std::min(markSize, static_cast<std::size_t>(input_.end() - begin_))) ==
        runtime::Utf8ByteOrderMark) {
        utf8_ = true;
        begin_ += markSize;
    }
}

bool ListingReader::nextEntry()
{
    std::string_view line;
    LineKind kind = LineKind::Empty;
    while (nextLine(line, kind)) {
        switch (kind) {
        case LineKind::Empty:
        case LineKind::Skipped:
            break;
        case LineKind::Volume:
            // A listing repeats its volume line for every folder.
            if (line != volumeLine_) {
                volumeLine_.assign(line);
                assignWithoutMark(volume_, line, VolumeMark);
            }
            break;
        case LineKind::Directory:
            assignWithoutMark(folder_, line, DirectoryMark);
            ++folderNumber_;
            break;
        case LineKind::Entry:
            takeEntry(line);
            return true;
        }
    }
    return false;
}

ListingSizeAndDate ListingReader::takeSizeAndDate()
{
    if (holdsSizeAndDate(info_))
        taken_ = readSizeAndDate(info_);
    return taken_;
}

QString ListingReader::textOf(std::string_view bytes) const
{
    const auto size = static_cast<qsizetype>(bytes.size());
    return utf8_ ? QString::fromUtf8(bytes.data(), size)
                 : runtime::fromAnsi(QByteArray::fromRawData(bytes.data(), size));
}

QString ListingReader::nameText() const { return textOf(name_); }
QString ListingReader::volumeText() const { return textOf(volume_); }
QString ListingReader::folderText() const { return textOf(folder_); }

void ListingReader::takeEntry(std::string_view line)
{
    if (line.size() <= (utf8_ ? utf8Prefix(line, LongLine) : LongLine)) {
        name_ = line;
        return;
    }
    const std::size_t nameEnd = utf8_ ? utf8Prefix(line, NameColumns) : NameColumns;
    name_ = line.substr(0, lengthWithoutTrailingBlanks(line.substr(0, nameEnd)));
    info_ = line.substr(nameEnd);
}

std::int32_t ListingReader::skipEntriesWithout(const WordStarts& words, std::int32_t most)
{
    const PassedLines passed =
        passPlainLines(begin_, input_.end(), words.words().data(), words.words().size(), most, LongLine);
    if (passed.longLine != nullptr) {
        const std::string_view line(passed.longLine, passed.longLineLength);
        if (!utf8_)
            info_ = line.substr(NameColumns);
        else if (const std::string_view longLine = lastLongUtf8Line(begin_, line); !longLine.empty())
            info_ = longLine.substr(utf8Prefix(longLine, NameColumns));
    }
    begin_ = passed.next;
    return passed.entries;
}

// One pass over each line finds both its end and its marks: the scan stops
// only at CR, LF and the bytes that begin or end a mark (':' '<' '-').
bool ListingReader::nextLine(std::string_view& line, LineKind& kind)
{
    for (;;) {
        const char* const start = begin_;
        const char* const end = input_.end();
        LineMarks marks;
        const char* at = start;
        for (; (at = nextStop(at, end)) < end; ++at) {
            if (*at == '\n' || *at == '\r' || (!marks.note(start, at, end) && !atEnd_))
                break;
        }
        if (!atEnd_ && (at == end || !marks.complete || (*at == '\r' && at + 1 == end))) {
            refill();
            continue;
        }
        if (at == end && start == end)
            return false;
        line = std::string_view(start, static_cast<std::size_t>(at - start));
        kind = line.empty()    ? LineKind::Empty
            : marks.volume     ? LineKind::Volume
            : marks.directory  ? LineKind::Directory
            : marks.skipped    ? LineKind::Skipped
                               : LineKind::Entry;
        std::size_t ending = at == end ? 0 : 1;
        if (ending == 1 && *at == '\r' && at + 1 < end && at[1] == '\n')
            ending = 2;
        begin_ += line.size() + ending;
        return true;
    }
}

void ListingReader::refill()
{
    // The info part may lie in the bytes about to go.
    if (input_.holds(info_.data())) {
        infoCopy_.assign(info_);
        info_ = infoCopy_;
    }
    name_ = {};
    atEnd_ = !input_.takeMore(begin_);
    begin_ = input_.begin();
}

#include "search/ListingReader.h"

#include "runtime/AnsiText.h"
#include "runtime/Numbers.h"
#include "runtime/RuntimeError.h"

#include <QIODevice>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

namespace {

constexpr std::size_t BlockSize = 256 * 1024;
constexpr std::size_t LongLine = 69;     // longer lines carry an info part
constexpr std::size_t NameColumns = 68;  // the name of a long line
constexpr std::size_t ShortInfo = 32;    // an info part this short holds no size or date
constexpr std::size_t SizeColumns = 13;
constexpr std::size_t DateOffset = 20;

constexpr std::string_view VolumeMark = "Volume:";
constexpr std::string_view DirectoryMark = "Directory:";
constexpr std::string_view SubFolderMark = "<DIR>";
constexpr std::string_view RuleMark = "---------------";

QString textOf(std::string_view bytes)
{
    return runtime::fromAnsi(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::string_view trimBlanks(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The line with every mark removed, blanks trimmed at both ends.
std::string withoutMark(std::string_view line, std::string_view mark)
{
    std::string rest;
    for (std::size_t at = line.find(mark); at != std::string_view::npos; at = line.find(mark)) {
        rest.append(line.substr(0, at));
        line.remove_prefix(at + mark.size());
    }
    rest.append(line);
    return std::string(trimBlanks(rest));
}

std::int64_t readSize(std::string_view field)
{
    try {
        const double value = std::nearbyint(runtime::cdbl(textOf(field)));
        if (std::fabs(value) < static_cast<double>(std::numeric_limits<std::int64_t>::max()))
            return static_cast<std::int64_t>(value);
    } catch (const runtime::RuntimeError&) {
    }
    return 0;
}

}  // namespace

ListingSizeAndDate readSizeAndDate(std::string_view info)
{
    ListingSizeAndDate values;
    values.size = readSize(info.substr(0, SizeColumns));
    const std::string_view dateText = info.substr(std::min(DateOffset, info.size()));
    values.date = runtime::parseDate(textOf(dateText)).value_or(runtime::ZeroDate);
    return values;
}

ListingReader::ListingReader(QIODevice& device) : device_(device), buffer_(BlockSize) {}

bool ListingReader::nextEntry()
{
    std::string_view line;
    while (nextLine(line)) {
        switch (kindOf(line)) {
        case LineKind::Empty:
        case LineKind::Skipped:
            break;
        case LineKind::Volume:
            volume_ = withoutMark(line, VolumeMark);
            break;
        case LineKind::Directory:
            folder_ = withoutMark(line, DirectoryMark);
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
    if (info_.size() > ShortInfo)
        taken_ = readSizeAndDate(info_);
    return taken_;
}

QString ListingReader::nameText() const { return textOf(name_); }
QString ListingReader::volumeText() const { return textOf(volume_); }
QString ListingReader::folderText() const { return textOf(folder_); }

ListingReader::LineKind ListingReader::kindOf(std::string_view line)
{
    if (line.empty())
        return LineKind::Empty;
    // Both marks end in a colon; a typical entry has two, in its time of day.
    bool directory = false;
    for (std::size_t colon = line.find(':'); colon != std::string_view::npos;
         colon = line.find(':', colon + 1)) {
        const std::string_view before = line.substr(0, colon + 1);
        if (before.ends_with(VolumeMark))
            return LineKind::Volume;
        directory = directory || before.ends_with(DirectoryMark);
    }
    if (directory)
        return LineKind::Directory;
    if (line.find(SubFolderMark) != std::string_view::npos || line.find(RuleMark) != std::string_view::npos)
        return LineKind::Skipped;
    return LineKind::Entry;
}

void ListingReader::takeEntry(std::string_view line)
{
    if (line.size() <= LongLine) {
        name_ = line;
        return;
    }
    name_ = line.substr(0, NameColumns);
    name_ = name_.substr(0, name_.find_last_not_of(' ') + 1);
    info_ = line.substr(NameColumns);
}

bool ListingReader::nextLine(std::string_view& line)
{
    for (;;) {
        const char* start = buffer_.data() + begin_;
        const std::size_t available = end_ - begin_;
        const auto* lf = static_cast<const char*>(std::memchr(start, '\n', available));
        const std::size_t scanned = lf ? static_cast<std::size_t>(lf - start) : available;
        const auto* cr = static_cast<const char*>(std::memchr(start, '\r', scanned));
        std::size_t length = 0;
        std::size_t ending = 0;
        if (cr && (cr + 1 < start + available || atEnd_)) {
            length = static_cast<std::size_t>(cr - start);
            ending = cr + 1 < start + available && cr[1] == '\n' ? 2 : 1;
        } else if (!cr && lf) {
            length = scanned;
            ending = 1;
        } else if (atEnd_) {
            if (available == 0)
                return false;
            length = available;
        } else {
            refill();
            continue;
        }
        line = std::string_view(start, length);
        begin_ += length + ending;
        return true;
    }
}

void ListingReader::refill()
{
    // The info part may still lie in the bytes about to move.
    const char* data = buffer_.data();
    const std::less_equal<const char*> atOrBefore;
    if (atOrBefore(data, info_.data()) && !atOrBefore(data + buffer_.size(), info_.data())) {
        infoCopy_.assign(info_);
        info_ = infoCopy_;
    }
    name_ = {};
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
    if (end_ == buffer_.size())
        buffer_.resize(buffer_.size() * 2);  // a line longer than a block
    const qint64 read = device_.read(buffer_.data() + end_, static_cast<qint64>(buffer_.size() - end_));
    if (read < 0)
        runtime::raise(runtime::err::PathFileAccessError, device_.errorString());
    if (read == 0)
        atEnd_ = true;
    end_ += static_cast<std::size_t>(read);
}

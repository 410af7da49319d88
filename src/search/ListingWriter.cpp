#include "search/ListingWriter.h"

#include "platform/FileSystem.h"
#include "platform/Interaction.h"
#include "platform/Pump.h"
#include "platform/Services.h"
#include "platform/Wildcard.h"
#include "runtime/AnsiText.h"
#include "runtime/RuntimeError.h"
#include "search/ListSearch.h"

#include <QStringList>
#include <iterator>
#include <set>
#include <utility>

namespace {

constexpr qsizetype MaxSubFolders = 1001;
constexpr qsizetype MaxFiles = 10001;
constexpr int NameColumns = 65;
constexpr int SizeColumns = 16;
const QString Skipped = QStringLiteral("pagefile.sys");
const QString CrLf = QStringLiteral("\r\n");

void writeTo(runtime::AnsiTextWriter* file, const QString& text)
{
    if (!file)
        runtime::raise(runtime::err::BadFileNameOrNumber);
    file->writeLine(text);
}

// The user chose Abort: the folder in hand is left.
struct AbortFolder {};

// What the whole walk shares between its levels.
struct WalkState {
    std::set<platform::FileId> folders;  // every real folder listed so far
    ShownMessages& shown;
};

// One folder of the walk with its own state, as each level of the walk keeps it.
class FolderLevel {
public:
    // `parent` and `entry` give the folder's way from the level above; the
    // walk's first folder is found from its path.
    FolderLevel(QString path, const QString& pattern, const ListingFiles& files, const QString& volumeLabel,
                int flags, WalkState& walk, const platform::OpenFolder* parent = nullptr,
                const platform::DirEntry* entry = nullptr)
        : path_(std::move(path)), pattern_(pattern), outputs_(files), volumeLabel_(volumeLabel), flags_(flags),
          walk_(walk), parent_(parent), entry_(entry)
    {
    }

    void walk()
    {
        try {
            writeHeader();
            scanFolder();
            writeSubFolderLines();
            fillFileList();
            writeFileLines();
            walkSubFolders();
        } catch (const AbortFolder&) {
        }
    }

private:
    // Runs one step; an error gets its message and the walk goes on with the
    // next step, runs the step again (Retry) or leaves the folder (Abort).
    // False when the step was passed over.
    template <typename Step>
    bool attempt(Step step)
    {
        for (;;) {
            try {
                step();
                return true;
            } catch (const runtime::RuntimeError& error) {
                if (!retryAfter(error))
                    return false;
            }
        }
    }

    bool retryAfter(const runtime::RuntimeError& error)
    {
        const QString skipping = QStringLiteral("Error reading:") + entryName_ + QStringLiteral(" Skipping.");
        switch (error.number()) {
        case runtime::err::FileNotFound:
            if (!writingFiles_)
                showOnce(QStringLiteral("While Udating file lists, there was an error reading: ") + CrLf + path_ +
                         entryName_ + QStringLiteral(" Skipping.") + CrLf +
                         QStringLiteral("(There may be an unreadable character in the name!)"));
            return false;
        case runtime::err::PathFileAccessError:
            showOnce(error.description() + CrLf + skipping);
            return false;
        default: {
            const QString question = QStringLiteral("Error Number: ") + QString::number(error.number()) + u' ' +
                                     error.description() + CrLf + skipping;
            switch (showOnce(question, platform::MsgButtons::AbortRetryIgnore)) {
            case platform::MsgResult::Retry:
                walk_.shown.remove(question);  // the user asked to see how the step ends
                return true;
            case platform::MsgResult::Ignore:
                return false;
            default:
                throw AbortFolder{};
            }
        }
        }
    }

    // A message already shown in this run is passed over as if answered Ignore.
    platform::MsgResult showOnce(const QString& text, platform::MsgButtons buttons = platform::MsgButtons::Ok)
    {
        if (walk_.shown.contains(text))
            return platform::MsgResult::Ignore;
        walk_.shown.insert(text);
        return platform::interaction().msgBox(text, buttons);
    }

    void print(const QString& text)
    {
        attempt([&] { PrintListingLine(text, outputs_, flags_); });
    }

    void writeHeader()
    {
        print({});
        print(QStringLiteral("Volume:    ") + volumeLabel_);
        print(QStringLiteral("Directory: ") + path_.mid(2));
        print({});
    }

    // Appends the item unless the list is full (error 9, as an array bound would).
    template <typename Item>
    static void append(QList<Item>& list, const Item& item, qsizetype capacity)
    {
        if (list.size() >= capacity)
            runtime::raise(runtime::err::SubscriptOutOfRange);
        list += item;
    }

    // An entry's details, or error 53 (file not found) when its name cannot be
    // reached through the drive.
    static const platform::DirEntry& details(const platform::DirEntry& entry)
    {
        if (!entry.readable)
            runtime::raise(runtime::err::FileNotFound);
        return entry;
    }

    // One search of the folder finds both, each entry read once: the
    // sub-folders, and the files that match the pattern (unless folders only).
    // System entries are left out, as Windows' search leaves them out (a link
    // back to a folder above reads as one).
    void scanFolder()
    {
        QList<platform::DirEntry> entries;
        attempt([&] {
            openFolder();
            entries = platform::fileSystem().dirEntries(folder_, platform::attr::Directory);
        });
        const platform::Wildcard filePattern(pattern_);
        const bool listFiles = !(flags_ & listingflags::FoldersOnly);
        for (const platform::DirEntry& entry : entries) {
            entryName_ = entry.name;
            if (entry.name == Skipped || (entry.attributes & platform::attr::System))
                continue;
            int attributes = 0;
            attempt([&] { attributes = details(entry).attributes; });
            if (attributes & platform::attr::Directory) {
                // A folder already listed is left out. Ignore on a full list drops the
                // folder's further sub-folders without asking again.
                if (!subFoldersDropped_ && !walk_.folders.contains(entry.id)) {
                    subFoldersDropped_ = !attempt([&] { append(subFolders_, entry, MaxSubFolders); });
                    if (!subFoldersDropped_)
                        walk_.folders.insert(entry.id);
                }
            } else if (listFiles && filePattern.matches(entry.name))
                matchingFiles_ += entry;
        }
        entryName_.clear();
    }

    // The file list is filled once the sub-folder lines are written: Abort on a
    // full list leaves the folder with those lines in the listing, and Ignore
    // drops the folder's further files without asking again.
    void fillFileList()
    {
        for (const platform::DirEntry& entry : std::as_const(matchingFiles_)) {
            entryName_ = entry.name;
            if (!attempt([&] { append(files_, entry, MaxFiles); }))
                break;
        }
        entryName_.clear();
    }

    // A sub-folder is opened from the folder above it, without looking up its
    // path again; one that cannot be opened so (gone, or too many folders
    // open) is looked up by its path, which finds it or raises as for any
    // folder.
    void openFolder()
    {
        const platform::FileSystem& fileSystem = platform::fileSystem();
        if (parent_ && entry_)
            folder_ = fileSystem.openFolder(*parent_, *entry_);
        if (!folder_.isOpen())
            folder_ = fileSystem.openFolder(path_);
    }

    void writeSubFolderLines()
    {
        for (const platform::DirEntry& subFolder : std::as_const(subFolders_))
            print(QStringLiteral("<DIR> ") + subFolder.name);
        if (!subFolders_.isEmpty())
            print({});
    }

    void writeFileLines()
    {
        writingFiles_ = true;
        QString line;
        for (const platform::DirEntry& file : std::as_const(files_)) {
            // A size that cannot be read is written as "n/a" (error 53 passes
            // without a message here); the date then stays the one read last
            // in this folder.
            size_ = -1;
            attempt([&] { size_ = details(file).size; });
            attempt([&] { date_ = details(file).lastWrite; });
            line.resize(0);  // keeps the room the last line took
            line.append(QStringView(file.name).left(nameColumnsOf(file.name)));
            line.resize(NameColumns, u' ');
            if (size_ == -1)
                line.append(u"n/a");
            else
                appendSizeField(line, size_);
            line.append(u" bytes ");
            line.append(runtime::generalDateText(date_));
            print(line);
        }
        writingFiles_ = false;
    }

    // The columns of the name that its field holds: a cut never parts the two
    // halves of a character outside the first 65,536, which has no code of
    // its own.
    static qsizetype nameColumnsOf(const QString& name)
    {
        return name.size() > NameColumns && name[NameColumns - 1].isHighSurrogate() ? NameColumns - 1 : NameColumns;
    }

    // The size with group separators, right-aligned in 16 columns. Readers
    // take the size from the field's last 13 columns and the name from the
    // columns before them, so a size of 10 GB or more, whose grouped text is
    // longer, is written without separators to stay within those 13.
    static void appendSizeField(QString& line, std::int64_t size)
    {
        const bool grouped = size < 10'000'000'000;
        char16_t digits[32];
        char16_t* start = std::end(digits);
        auto rest = static_cast<std::uint64_t>(size);
        for (int count = 0; count == 0 || rest > 0; ++count) {
            if (grouped && count > 0 && count % 3 == 0)
                *--start = u',';
            *--start = char16_t(u'0' + rest % 10);
            rest /= 10;
        }
        const qsizetype length = std::end(digits) - start;
        if (length < SizeColumns)
            line.resize(line.size() + SizeColumns - length, u' ');
        line.append(reinterpret_cast<const QChar*>(start), length);
    }

    void walkSubFolders()
    {
        for (const platform::DirEntry& subFolder : std::as_const(subFolders_)) {
            FolderLevel(path_ + subFolder.name + u'\\', pattern_, outputs_, volumeLabel_, flags_, walk_, &folder_,
                        &subFolder)
                .walk();
            platform::doEvents();
            if (ListSearch.StopFlag)
                return;
        }
    }

    const QString path_;
    const QString& pattern_;
    const ListingFiles& outputs_;
    const QString& volumeLabel_;
    const int flags_;
    WalkState& walk_;
    const platform::OpenFolder* parent_;
    const platform::DirEntry* entry_;

    platform::OpenFolder folder_;
    QList<platform::DirEntry> subFolders_;
    QList<platform::DirEntry> matchingFiles_;
    QList<platform::DirEntry> files_;
    bool subFoldersDropped_ = false;  // the user chose Ignore on the full sub-folder list
    QString entryName_;  // the name the enumeration returned last
    bool writingFiles_ = false;
    std::int64_t size_ = 0;
    runtime::Date date_ = runtime::ZeroDate;
};

}  // namespace

void PrintListingLine(const QString& text, const ListingFiles& files, int flags)
{
    if (flags & listingflags::File1Only) {
        writeTo(files.file1, text);
    } else if (flags & listingflags::File2Only) {
        writeTo(files.file2, text);
    } else if (flags & listingflags::BothFiles) {
        writeTo(files.file1, text);
        writeTo(files.file2, text);
    }
}

void WriteFolderListing(QString path, const QString& pattern, const ListingFiles& files,
                        const QString& volumeLabel, int flags, ShownMessages* shown)
{
    if (!path.endsWith(u'\\'))
        path += u'\\';
    if (path.size() < 3)
        return;
    ShownMessages shownInThisWalk;
    WalkState walk{{}, shown ? *shown : shownInThisWalk};
    try {
        walk.folders.insert(platform::fileSystem().fileId(path));
    } catch (const runtime::RuntimeError&) {
        // A folder that is not there lists as its header alone.
    }
    FolderLevel(std::move(path), pattern, files, volumeLabel, flags, walk).walk();
}

#include "search/ListingWriter.h"

#include "platform/FileSystem.h"
#include "platform/Interaction.h"
#include "platform/Pump.h"
#include "platform/Services.h"
#include "runtime/AnsiText.h"
#include "runtime/Numbers.h"
#include "runtime/RuntimeError.h"
#include "search/ListSearch.h"

#include <QStringList>
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

// One folder of the walk with its own state, as each level of the walk keeps it.
class FolderLevel {
public:
    FolderLevel(QString path, const QString& pattern, const ListingFiles& files,
                const QString& volumeLabel, int flags)
        : path_(std::move(path)), pattern_(pattern), files_(files), volumeLabel_(volumeLabel), flags_(flags)
    {
    }

    void walk()
    {
        try {
            writeHeader();
            scanSubFolders();
            writeSubFolderLines();
            if (!(flags_ & listingflags::FoldersOnly)) {
                scanFiles();
                writeFileLines();
            }
            walkSubFolders();
        } catch (const AbortFolder&) {
        }
    }

private:
    // Runs one step; an error gets its message and the walk goes on with the
    // next step, runs the step again (Retry) or leaves the folder (Abort).
    template <typename Step>
    void attempt(Step step)
    {
        for (;;) {
            try {
                step();
                return;
            } catch (const runtime::RuntimeError& error) {
                if (!retryAfter(error))
                    return;
            }
        }
    }

    bool retryAfter(const runtime::RuntimeError& error)
    {
        platform::Interaction& dialogs = platform::interaction();
        const QString skipping = QStringLiteral("Error reading:") + entryName_ + QStringLiteral(" Skipping.");
        switch (error.number()) {
        case runtime::err::FileNotFound:
            if (writingFiles_)
                size_ = -1;
            else
                dialogs.msgBox(QStringLiteral("While Udating file lists, there was an error reading: ") + CrLf + path_ +
                               entryName_ + QStringLiteral(" Skipping.") + CrLf +
                               QStringLiteral("(There may be an unreadable character in the name!)"));
            return false;
        case runtime::err::PathFileAccessError:
            dialogs.msgBox(error.description() + CrLf + skipping);
            return false;
        default:
            switch (dialogs.msgBox(QStringLiteral("Error Number: ") + QString::number(error.number()) + u' ' +
                                       error.description() + CrLf + skipping,
                                   platform::MsgButtons::AbortRetryIgnore)) {
            case platform::MsgResult::Retry:
                return true;
            case platform::MsgResult::Ignore:
                return false;
            default:
                throw AbortFolder{};
            }
        }
    }

    void print(const QString& text)
    {
        attempt([&] { PrintListingLine(text, files_, flags_); });
    }

    void writeHeader()
    {
        print({});
        print(QStringLiteral("Volume:    ") + volumeLabel_);
        print(QStringLiteral("Directory: ") + path_.mid(2));
        print({});
    }

    // Appends the name unless the list is full (error 9, as an array bound would).
    static void append(QStringList& list, const QString& name, qsizetype capacity)
    {
        if (list.size() >= capacity)
            runtime::raise(runtime::err::SubscriptOutOfRange);
        list += name;
    }

    QStringList enumerate(const QString& pattern, int attributes)
    {
        QStringList names;
        attempt([&] { names = platform::fileSystem().dir(path_ + pattern, attributes); });
        return names;
    }

    void scanSubFolders()
    {
        const QStringList entries = enumerate(QStringLiteral("*.*"), platform::attr::Directory);
        for (const QString& entry : entries) {
            entryName_ = entry;
            if (entry == Skipped)
                continue;
            int attributes = 0;
            attempt([&] { attributes = platform::fileSystem().getAttr(path_ + entry); });
            if (attributes & platform::attr::Directory)
                attempt([&] { append(subFolders_, entry, MaxSubFolders); });
        }
        entryName_.clear();
    }

    void writeSubFolderLines()
    {
        for (const QString& name : std::as_const(subFolders_))
            print(QStringLiteral("<DIR> ") + name);
        if (!subFolders_.isEmpty())
            print({});
    }

    void scanFiles()
    {
        const QStringList entries = enumerate(pattern_, platform::attr::Normal);
        for (const QString& entry : entries) {
            entryName_ = entry;
            if (entry != Skipped)
                attempt([&] { append(fileNames_, entry, MaxFiles); });
        }
        entryName_.clear();
    }

    void writeFileLines()
    {
        const platform::FileSystem& fs = platform::fileSystem();
        writingFiles_ = true;
        for (const QString& name : std::as_const(fileNames_)) {
            // A size that cannot be read is written as "n/a"; the date then
            // stays the one read last in this folder.
            size_ = -1;
            attempt([&] { size_ = fs.fileLen(path_ + name); });
            const QString sizeText = size_ == -1
                ? QStringLiteral("n/a")
                : runtime::formatNumber(static_cast<double>(size_), QStringLiteral("###,###,###,##0"))
                      .rightJustified(SizeColumns);
            attempt([&] { date_ = fs.fileDateTime(path_ + name); });
            print(name.leftJustified(NameColumns, u' ', true) + sizeText + QStringLiteral(" bytes ") +
                  runtime::generalDateText(date_));
        }
        writingFiles_ = false;
    }

    void walkSubFolders()
    {
        for (const QString& name : std::as_const(subFolders_)) {
            WriteFolderListing(path_ + name, pattern_, files_, volumeLabel_, flags_);
            platform::doEvents();
            if (ListSearch.StopFlag)
                return;
        }
    }

    const QString path_;
    const QString& pattern_;
    const ListingFiles& files_;
    const QString& volumeLabel_;
    const int flags_;

    QStringList subFolders_;
    QStringList fileNames_;
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
                        const QString& volumeLabel, int flags)
{
    if (!path.endsWith(u'\\'))
        path += u'\\';
    if (path.size() < 3)
        return;
    FolderLevel(std::move(path), pattern, files, volumeLabel, flags).walk();
}

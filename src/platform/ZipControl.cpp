#include "platform/ZipControl.h"

#include "platform/FileSystem.h"
#include "platform/PathLookup.h"
#include "platform/Services.h"
#include "platform/Wildcard.h"
#include "runtime/RuntimeError.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QScopedValueRollback>
#include <QStringList>
#include <QtEndian>
#include <algorithm>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <vector>
#include <zip.h>

namespace platform {

namespace {

constexpr qint64 ChunkSize = 64 * 1024;

// The end-of-central-directory record: its signature, its size without the
// archive comment, the longest comment, and where it keeps the central
// directory's size and offset.
constexpr char EndRecordSignature[] = "PK\x05\x06";
constexpr qint64 EndRecordSize = 22;
constexpr qint64 MaxCommentSize = 65535;
constexpr int CentralDirectorySizeAt = 12;
constexpr int CentralDirectoryOffsetAt = 16;
// An archive past 4 GB or 65,535 entries (or one its tool always writes so)
// ends with a ZIP64 end record and a locator of it in front of the record above.
constexpr char Zip64RecordSignature[] = "PK\x06\x06";
constexpr char Zip64LocatorSignature[] = "PK\x06\x07";
constexpr qint64 Zip64LocatorSize = 20;
constexpr int Zip64RecordOffsetAt = 8;
constexpr zip_uint32_t MsDosFolderAttribute = 0x10;

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using ArchivePtr = std::unique_ptr<zip_t, ArchiveCloser>;

struct EntryCloser {
    void operator()(zip_file_t* entry) const { zip_fclose(entry); }
};
using EntryPtr = std::unique_ptr<zip_file_t, EntryCloser>;

QString libzipText(int code)
{
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const QString text = QString::fromUtf8(zip_error_strerror(&error));
    zip_error_fini(&error);
    return text;
}

// The last part of an entry name ("a/b/" gives "b").
QString baseName(QString name)
{
    name.replace(u'\\', u'/');
    while (name.endsWith(u'/'))
        name.chop(1);
    return name.mid(name.lastIndexOf(u'/') + 1);
}

// The path below the target folder that an entry may be written to; nullopt
// for a name that is absolute, holds a drive or a stream (":"), climbs out
// with "..", or names nothing.
std::optional<QString> safeRelativePath(QString name)
{
    name.replace(u'\\', u'/');
    if (name.startsWith(u'/') || name.contains(u':'))
        return std::nullopt;
    QStringList parts;
    for (const QString& part : name.split(u'/', Qt::SkipEmptyParts)) {
        if (part == u"..")
            return std::nullopt;
        if (part != u".")
            parts << part;
    }
    if (parts.isEmpty())
        return std::nullopt;
    return parts.join(u'/');
}

void setModificationTime(const QString& hostPath, time_t time)
{
    const timespec times[2] = {{0, UTIME_OMIT}, {time, 0}};
    ::utimensat(AT_FDCWD, QFile::encodeName(hostPath).constData(), times, 0);
}

// How many bytes stand in front of the archive whose end record lies at `end`
// of the file's tail (which starts at `tailStart`): where a record really is,
// less where the archive says it is.
qint64 prefixLength(const QByteArray& tail, qint64 tailStart, qsizetype end)
{
    const qsizetype locator = end - Zip64LocatorSize;
    if (locator >= 0 && tail.sliced(locator, 4) == Zip64LocatorSignature) {
        const qsizetype record = tail.lastIndexOf(Zip64RecordSignature, locator);
        if (record < 0)
            return 0;
        const auto recordedAt = qFromLittleEndian<quint64>(tail.constData() + locator + Zip64RecordOffsetAt);
        return tailStart + record - qint64(recordedAt);
    }
    const auto field = [&](int offset) {
        return qint64(qFromLittleEndian<quint32>(tail.constData() + end + offset));
    };
    return tailStart + end - field(CentralDirectorySizeAt) - field(CentralDirectoryOffsetAt);
}

// Opens an archive for reading. An archive with data in front of it whose
// offsets were not adjusted (a self-extractor) is opened past that data.
ArchivePtr openForReading(const QString& hostPath, int& errorCode)
{
    const QByteArray path = QFile::encodeName(hostPath);
    zip_t* archive = zip_open(path.constData(), ZIP_RDONLY, &errorCode);
    // Offsets that miss by the data in front read as no archive, or with
    // ZIP64 records as an inconsistent one.
    if (archive || (errorCode != ZIP_ER_NOZIP && errorCode != ZIP_ER_INCONS))
        return ArchivePtr(archive);

    QFile file(hostPath);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    const qint64 tailStart = qMax<qint64>(0, file.size() - EndRecordSize - MaxCommentSize);
    file.seek(tailStart);
    const QByteArray tail = file.readAll();
    const qsizetype end = tail.lastIndexOf(EndRecordSignature);
    if (end < 0 || end + EndRecordSize > tail.size())
        return nullptr;
    const qint64 prefix = prefixLength(tail, tailStart, end);
    if (prefix <= 0)
        return nullptr;
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_file_create(path.constData(), zip_uint64_t(prefix), -1, &error);
    archive = source ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
    if (source && !archive)
        zip_source_free(source);
    zip_error_fini(&error);
    return ArchivePtr(archive);
}

struct Entry {
    zip_uint64_t index;
    QString name;
    zip_stat_t stat;
    bool isFolder;
};

// A folder's name ends in a slash; an MS-DOS tool may leave the slash out and
// mark the folder by its attribute (16) alone, a Unix one by its mode.
bool isFolderEntry(zip_t* archive, zip_uint64_t index, const QString& name)
{
    if (name.endsWith(u'/') || name.endsWith(u'\\'))
        return true;
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(archive, index, 0, &system, &attributes) != 0)
        return false;
    if (system == ZIP_OPSYS_UNIX)
        return S_ISDIR(attributes >> 16);
    return (attributes & MsDosFolderAttribute) != 0;
}

std::vector<Entry> entriesMatching(zip_t* archive, const QString& mask)
{
    const Wildcard wildcard(mask);
    std::vector<Entry> entries;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        Entry entry{zip_uint64_t(i), {}, {}, false};
        if (zip_stat_index(archive, entry.index, 0, &entry.stat) != 0)
            continue;
        entry.name = QString::fromUtf8(entry.stat.name);
        entry.isFolder = isFolderEntry(archive, entry.index, entry.name);
        if (wildcard.matches(baseName(entry.name)))
            entries.push_back(entry);
    }
    return entries;
}

}  // namespace

// Counts the work of one operation and raises the idle and progress events.
class ZipProgress {
public:
    ZipProgress(ZipControl& control, qint64 bytesTotal, int entriesTotal)
        : control_(control), bytesTotal_(bytesTotal), entriesTotal_(entriesTotal) {}

    void addBytes(qint64 bytes)
    {
        bytesDone_ += bytes;
        report();
    }
    void entryDone()
    {
        ++entriesDone_;
        report();
    }
    // The share of the work done, as a fraction, when the library counts it.
    void setFraction(double fraction)
    {
        bytesDone_ = qint64(fraction * double(bytesTotal_));
        entriesDone_ = int(fraction * entriesTotal_);
        raise(fraction * 100.0);
    }

private:
    void report()
    {
        double percent = 100.0;
        if (bytesTotal_ > 0)
            percent = 100.0 * double(bytesDone_) / double(bytesTotal_);
        else if (entriesTotal_ > 0)
            percent = 100.0 * entriesDone_ / entriesTotal_;
        raise(qMin(percent, 100.0));
    }
    // The idle event, then the progress event unless the idle handler stopped the operation.
    void raise(double percent)
    {
        if (!control_.stopped_)
            emit control_.Idle();
        if (!control_.stopped_)
            emit control_.Progress(percent, bytesDone_, bytesTotal_, entriesDone_, entriesTotal_);
    }

    ZipControl& control_;
    qint64 bytesTotal_;
    int entriesTotal_;
    qint64 bytesDone_ = 0;
    int entriesDone_ = 0;
};

// One run of an operation with the control's properties of that moment.
class ZipRun {
public:
    explicit ZipRun(ZipControl& control) : zip_(control) {}

    void inspect();
    void extract();
    int pack();

private:
    std::optional<QString> hostPath(const QString& windowsPath, ZipControl::Error failure);
    ArchivePtr openArchive();
    void extractEntry(zip_t* archive, const Entry& entry, const QString& root, ZipProgress& progress);
    void writeEntry(zip_t* archive, const Entry& entry, const QString& target, ZipProgress& progress);
    bool makeFolder(const QString& folder, const QString& entryName);
    std::optional<QStringList> filesToPack(const QString& folder);
    int addFiles(zip_t* archive, const QString& hostFolder, const QStringList& names);

    ZipControl& zip_;
};

std::optional<QString> ZipRun::hostPath(const QString& windowsPath, ZipControl::Error failure)
{
    try {
        return fileSystem().hostPath(windowsPath);
    } catch (const runtime::RuntimeError& error) {
        zip_.raiseError(failure, windowsPath + QStringLiteral(" (") + error.description() + u')');
        return std::nullopt;
    }
}

ArchivePtr ZipRun::openArchive()
{
    const std::optional<QString> path = hostPath(zip_.ArchiveName, ZipControl::ArchiveNotFound);
    if (!path)
        return nullptr;
    if (!QFileInfo(*path).isFile()) {
        zip_.raiseError(ZipControl::ArchiveNotFound, zip_.ArchiveName);
        return nullptr;
    }
    int code = 0;
    ArchivePtr archive = openForReading(*path, code);
    if (!archive) {
        zip_.raiseError(ZipControl::ArchiveUnreadable,
                        zip_.ArchiveName + QStringLiteral(" (") + libzipText(code) + u')');
    }
    return archive;
}

void ZipRun::inspect()
{
    const ArchivePtr archive = openArchive();
    if (!archive)
        return;
    const std::vector<Entry> entries = entriesMatching(archive.get(), zip_.FileMask);
    ZipProgress progress(zip_, 0, int(entries.size()));
    for (const Entry& entry : entries) {
        if (zip_.stopped_)
            return;
        const QDateTime time = QDateTime::fromSecsSinceEpoch(entry.stat.mtime);
        const QDate date = time.date();
        emit zip_.EntryInfo(entry.name, qint64(entry.stat.size), qint64(entry.stat.comp_size),
                            entry.stat.crc, date.month(), date.day(), date.year(),
                            time.time().hour(), time.time().minute());
        progress.entryDone();
    }
}

void ZipRun::extract()
{
    const ArchivePtr archive = openArchive();
    if (!archive)
        return;
    const std::optional<QString> root = hostPath(zip_.TargetFolder, ZipControl::CannotWriteFile);
    if (!root || !makeFolder(*root, zip_.TargetFolder))
        return;
    const std::vector<Entry> entries = entriesMatching(archive.get(), zip_.FileMask);
    qint64 bytesTotal = 0;
    for (const Entry& entry : entries)
        bytesTotal += entry.isFolder ? 0 : qint64(entry.stat.size);
    ZipProgress progress(zip_, bytesTotal, int(entries.size()));
    for (const Entry& entry : entries) {
        if (zip_.stopped_)
            return;
        extractEntry(archive.get(), entry, QDir::cleanPath(*root), progress);
        progress.entryDone();
    }
}

void ZipRun::extractEntry(zip_t* archive, const Entry& entry, const QString& root,
                          ZipProgress& progress)
{
    const std::optional<QString> relative = safeRelativePath(entry.name);
    if (!relative) {
        zip_.raiseError(ZipControl::UnsafeEntryName, entry.name);
        return;
    }
    // An entry differing from a file or folder on disk only in letter case
    // replaces it under the spelling the disk has, as on Windows.
    const QString target = resolveBelow(root, relative->split(u'/'));
    if (entry.isFolder) {
        makeFolder(target, entry.name);
        return;
    }
    if (!makeFolder(QFileInfo(target).path(), entry.name))
        return;
    if (QFileInfo::exists(target) && !zip_.OverwriteFiles)
        return;
    writeEntry(archive, entry, target, progress);
}

bool ZipRun::makeFolder(const QString& folder, const QString& entryName)
{
    if (QDir().mkpath(folder))
        return true;
    zip_.raiseError(ZipControl::CannotWriteFile, entryName + QStringLiteral(" (no folder can be made there)"));
    return false;
}

void ZipRun::writeEntry(zip_t* archive, const Entry& entry, const QString& target,
                        ZipProgress& progress)
{
    const EntryPtr source(zip_fopen_index(archive, entry.index, 0));
    if (!source) {
        const bool unsupported = zip_error_code_zip(zip_get_error(archive)) == ZIP_ER_COMPNOTSUPP;
        zip_.raiseError(unsupported ? ZipControl::MethodUnsupported : ZipControl::EntryUnreadable,
                        entry.name + QStringLiteral(" (") + QString::fromUtf8(zip_strerror(archive)) + u')');
        return;
    }
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly)) {
        zip_.raiseError(ZipControl::CannotWriteFile, entry.name + QStringLiteral(" (") + file.errorString() + u')');
        return;
    }
    QByteArray buffer(ChunkSize, Qt::Uninitialized);
    for (;;) {
        const zip_int64_t read = zip_fread(source.get(), buffer.data(), zip_uint64_t(buffer.size()));
        if (read < 0) {
            file.cancelWriting();
            zip_.raiseError(ZipControl::EntryUnreadable,
                            entry.name + QStringLiteral(" (") + QString::fromUtf8(zip_file_strerror(source.get())) + u')');
            return;
        }
        if (read == 0)
            break;
        if (file.write(buffer.constData(), read) != read) {
            file.cancelWriting();
            break;
        }
        progress.addBytes(read);
        if (zip_.stopped_)
            return;  // the uncommitted file is discarded; the one it would replace stays
    }
    if (!file.commit()) {
        zip_.raiseError(ZipControl::CannotWriteFile, entry.name + QStringLiteral(" (") + file.errorString() + u')');
        return;
    }
    setModificationTime(target, entry.stat.mtime);
}

std::optional<QStringList> ZipRun::filesToPack(const QString& folder)
{
    QStringList names;
    try {
        names = fileSystem().dir(folder + u'\\' + zip_.FileMask, attr::Hidden);
    } catch (const runtime::RuntimeError& error) {
        zip_.raiseError(ZipControl::NothingToPack, folder + QStringLiteral(" (") + error.description() + u')');
        return std::nullopt;
    }
    if (!zip_.ExcludeMask.isEmpty()) {
        const Wildcard excluded(zip_.ExcludeMask);
        names.removeIf([&](const QString& name) { return excluded.matches(name); });
    }
    if (names.isEmpty()) {
        zip_.raiseError(ZipControl::NothingToPack, folder + u'\\' + zip_.FileMask);
        return std::nullopt;
    }
    return names;
}

int ZipRun::pack()
{
    QString folder = zip_.ArchiveFolder;
    if (folder.endsWith(u'\\'))
        folder.chop(1);
    const std::optional<QStringList> names = filesToPack(folder);
    if (!names)
        return ZipControl::NothingToPack;
    const std::optional<QString> sourceFolder = hostPath(folder, ZipControl::NothingToPack);
    const std::optional<QString> path = hostPath(zip_.ArchiveName, ZipControl::CannotWriteArchive);
    if (!sourceFolder || !path)
        return zip_.lastError_;
    if (QFileInfo::exists(*path) && !zip_.OverwriteFiles)
        return zip_.raiseError(ZipControl::ArchiveExists, zip_.ArchiveName);

    int code = 0;
    ArchivePtr archive(zip_open(QFile::encodeName(*path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code));
    if (!archive) {
        return zip_.raiseError(ZipControl::CannotWriteArchive,
                               zip_.ArchiveName + QStringLiteral(" (") + libzipText(code) + u')');
    }
    if (const int failed = addFiles(archive.get(), *sourceFolder, *names))
        return failed;
    if (zip_close(archive.get()) != 0) {
        return zip_.raiseError(ZipControl::CannotWriteArchive,
                               zip_.ArchiveName + QStringLiteral(" (") + QString::fromUtf8(zip_strerror(archive.get())) + u')');
    }
    archive.release();  // closed
    return ZipControl::NoError;
}

int ZipRun::addFiles(zip_t* archive, const QString& hostFolder, const QStringList& names)
{
    qint64 bytesTotal = 0;
    for (const QString& name : names) {
        const QString file = hostFolder + u'/' + name;
        bytesTotal += QFileInfo(file).size();
        zip_source_t* source = zip_source_file(archive, QFile::encodeName(file).constData(), 0, -1);
        const zip_int64_t index =
            source ? zip_file_add(archive, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            zip_source_free(source);
            return zip_.raiseError(ZipControl::CannotWriteArchive,
                                   name + QStringLiteral(" (") + QString::fromUtf8(zip_strerror(archive)) + u')');
        }
        const int level = qBound(0, zip_.CompressionLevel, 9);
        zip_set_file_compression(archive, zip_uint64_t(index), level == 0 ? ZIP_CM_STORE : ZIP_CM_DEFLATE,
                                 zip_uint32_t(level));
    }
    auto* progress = new ZipProgress(zip_, bytesTotal, int(names.size()));
    zip_register_progress_callback_with_state(
        archive, 0.01,
        [](zip_t*, double fraction, void* state) { static_cast<ZipProgress*>(state)->setFraction(fraction); },
        [](void* state) { delete static_cast<ZipProgress*>(state); }, progress);
    return ZipControl::NoError;
}

ZipControl::ZipControl(QObject* parent) : QObject(parent) {}

void ZipControl::RunOperation()
{
    const QScopedValueRollback busy(busy_, true);
    stopped_ = false;
    ZipRun run(*this);
    switch (ZipOperation) {
    case Pack:
        run.pack();
        break;
    case Extract:
        run.extract();
        break;
    case Inspect:
        run.inspect();
        break;
    default:
        raiseError(InvalidOperation, QString::number(ZipOperation));
    }
}

int ZipControl::PackFiles()
{
    const QScopedValueRollback busy(busy_, true);
    stopped_ = false;
    return ZipRun(*this).pack();
}

QString ZipControl::ErrorText(int code) const
{
    QString text;
    switch (code) {
    case NoError: text = QStringLiteral("No error"); break;
    case ArchiveNotFound: text = QStringLiteral("The archive was not found"); break;
    case ArchiveUnreadable: text = QStringLiteral("The archive is damaged or is not a zip file"); break;
    case EntryUnreadable: text = QStringLiteral("An entry of the archive is damaged and was not extracted"); break;
    case UnsafeEntryName: text = QStringLiteral("An entry would be written outside the target folder and was skipped"); break;
    case CannotWriteFile: text = QStringLiteral("A file could not be written"); break;
    case CannotWriteArchive: text = QStringLiteral("The archive could not be written"); break;
    case NothingToPack: text = QStringLiteral("No file matches the file mask"); break;
    case ArchiveExists: text = QStringLiteral("The archive exists and may not be replaced"); break;
    case InvalidOperation: text = QStringLiteral("The operation is not one the control runs"); break;
    case MethodUnsupported: text = QStringLiteral("Compression method not supported: the entry was not extracted"); break;
    default: return QStringLiteral("Unknown error %1").arg(code);
    }
    if (code == lastError_ && !lastDetail_.isEmpty())
        text += QStringLiteral(": ") + lastDetail_;
    return text;
}

int ZipControl::raiseError(Error code, const QString& detail)
{
    lastError_ = code;
    lastDetail_ = detail;
    if (!stopped_)
        emit ArchiveError(code);
    return code;
}

bool ArchiveTest::holds(const QString& mask) const
{
    const Wildcard wildcard(mask);
    return std::any_of(entryNames.begin(), entryNames.end(),
                       [&](const QString& name) { return wildcard.matches(baseName(name)); });
}

ArchiveTest testArchive(const QString& hostPath)
{
    ArchiveTest test;
    int code = 0;
    const ArchivePtr archive = openForReading(hostPath, code);
    if (!archive) {
        test.fault = QStringLiteral("it is no zip archive (") + libzipText(code) + u')';
        return test;
    }
    QByteArray buffer(ChunkSize, Qt::Uninitialized);
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < count && test.fault.isEmpty(); ++i) {
        const QString name = QString::fromUtf8(zip_get_name(archive.get(), zip_uint64_t(i), 0));
        test.entryNames << name;
        const EntryPtr entry(zip_fopen_index(archive.get(), zip_uint64_t(i), 0));
        zip_int64_t read = entry ? 1 : -1;
        while (read > 0)
            read = zip_fread(entry.get(), buffer.data(), zip_uint64_t(buffer.size()));
        if (read < 0) {
            const QString why = entry ? QString::fromUtf8(zip_file_strerror(entry.get()))
                                      : QString::fromUtf8(zip_strerror(archive.get()));
            test.fault = name + QStringLiteral(" is damaged (") + why + u')';
        }
    }
    return test;
}

}  // namespace platform

#pragma once
// The zip archive control. An operation is set up through the properties and
// run by a method that returns when it is over; the events are raised as
// signals during that call, on the calling thread, so every connected handler
// has run when the method returns. Failures reach the caller only through
// ArchiveError; ErrorText turns its code into a message. Paths are Windows
// paths. Archives are ordinary zip files; entry times are local time as zip
// stores them (two-second steps).
//
// Extraction writes every entry that matches FileMask, under its own name,
// into TargetFolder, and never outside it: an entry whose name is absolute,
// holds a drive or climbs out with ".." is reported and skipped, and the other
// entries are still extracted. Each file is written under a temporary name and
// renamed when complete, so a damaged entry never replaces a good file.
// A pack writes a new archive beside the old one and puts it in place only
// when it is complete.

#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace platform {

class ZipControl : public QObject {
    Q_OBJECT
public:
    enum Operation { Pack = 1, Extract = 6, Inspect = 9 };

    // Codes of ArchiveError.
    enum Error {
        NoError = 0,
        ArchiveNotFound = 1,
        ArchiveUnreadable = 2,   // damaged, truncated or no zip file
        EntryUnreadable = 3,     // bad CRC, bad data, encrypted
        UnsafeEntryName = 4,     // would land outside TargetFolder
        CannotWriteFile = 5,
        CannotWriteArchive = 6,
        NothingToPack = 7,
        ArchiveExists = 8,       // a pack without OverwriteFiles
        InvalidOperation = 9,
        MethodUnsupported = 10,  // an entry packed in a way this program cannot unpack
    };

    explicit ZipControl(QObject* parent = nullptr);

    // The properties keep their values until set again.
    int ZipOperation = 0;
    QString ArchiveName;     // the zip file
    QString ArchiveFolder;   // a pack takes its files from here (with or without the final "\")
    QString TargetFolder;    // extracted entries go here (made when missing)
    QString FileMask = QStringLiteral("*.*");  // "*" and "?" wildcards, any letter case
    QString ExcludeMask;     // files a pack leaves out
    // Extraction: existing files are replaced (else kept). Pack: an existing
    // archive is replaced (else kept, with ArchiveExists).
    bool OverwriteFiles = false;
    int CompressionLevel = 6;  // 0 stores, 1-9 deflate

    // Runs the operation in ZipOperation (pack, extract or inspect).
    void RunOperation();
    // Packs each ordinary file of ArchiveFolder that matches FileMask and not
    // ExcludeMask into ArchiveName; returns the last error code (0 when none).
    int PackFiles();
    // The message for an error code; for the code raised last, with the path
    // or entry it concerns.
    QString ErrorText(int code) const;
    // True while RunOperation or PackFiles runs (its events pump messages, so
    // other handlers can run meanwhile).
    bool isBusy() const { return busy_; }
    // Called from a handler of the running operation: no further event is
    // raised, and an extraction or inspection ends at once. The entry being
    // written is dropped, so a file it would have replaced stays as it was; the
    // entries extracted before it are whole. A pack still runs to its end.
    void Stop() { stopped_ = true; }

signals:
    // Inspection: one per entry matching FileMask (extraction reports none).
    // Times are local, as the archive stores them.
    void EntryInfo(const QString& name, qint64 size, qint64 packedSize, quint32 crc,
                   int month, int day, int year, int hour, int minute);
    void ArchiveError(int code);
    // Raised repeatedly while an operation works, so the caller can pump messages.
    void Idle();
    void Progress(double percent, qint64 bytesDone, qint64 bytesTotal, int entriesDone,
                  int entriesTotal);

private:
    friend class ZipRun;
    friend class ZipProgress;
    // Raises ArchiveError and keeps what it concerns for ErrorText.
    int raiseError(Error code, const QString& detail);

    bool busy_ = false;
    bool stopped_ = false;  // by Stop, until the next operation starts
    Error lastError_ = NoError;
    QString lastDetail_;
};

// What reading a whole archive back shows: the names of its entries, and why
// it cannot be used (empty when every entry reads back with a good CRC).
struct ArchiveTest {
    QStringList entryNames;
    QString fault;
    // Whether an entry's name, without its folders, matches the wildcard
    // pattern, as an inspection's FileMask does.
    bool holds(const QString& mask) const;
};
// Reads every entry of the archive at a host path to its end, as a test of
// the archive does, and writes nothing.
ArchiveTest testArchive(const QString& hostPath);

}  // namespace platform

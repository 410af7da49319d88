#pragma once
// The download half of a web update, from the user's Yes: the second request
// with the progress window, the body into a file beside the archive, which
// replaces the archive once it is complete, reads back whole and holds the
// main listing, and the unpack of the new archive into the data folder.

#include "exchange/WebRun.h"

#include <QFile>
#include <QString>
#include <optional>

class Progress;

class WebDownload : public WebRun {
public:
    // `archiveFile` is the archive's name in the data folder and the document
    // asked for; `announcedLength` the "Content-Length:" of the first answer.
    WebDownload(SearchForm& form, QString archiveFile, std::optional<qint64> announcedLength);
    ~WebDownload();
    WebDownload(const WebDownload&) = delete;
    WebDownload& operator=(const WebDownload&) = delete;

    void run();

private:
    bool startRequest();
    // The body into the part file; false when the run has ended on the way.
    bool receiveBody();
    // Why the transfer did not bring the whole file; empty when it did.
    QString incompleteBecause() const;
    // Why the file that arrived cannot replace the archive; empty when it can.
    QString unusableBecause() const;
    bool putInPlace();
    void unpack();

    // Cancel, the progress window closed or StopFlag set.
    bool stopAsked() const;
    void cancel();
    // The transfer failed, or what it brought cannot be used: the message, and
    // the data folder as it was.
    void notDownloaded(const QString& reason);
    void notUsed(const QString& reason);
    void fail(const QString& message);
    void endRequest();

    QString archiveFile_;
    std::optional<qint64> announcedLength_;
    QPointer<Progress> progress_;
    QString partPath_;  // the download, beside the archive
    QFile part_;
    bool partInPlace_ = false;
    qint64 Total = 0;
};

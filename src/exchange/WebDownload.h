#pragma once
// The download half of a web update, from the user's Yes: the second request
// with the progress window, the body in parts of at most 1024 bytes into a
// file beside the archive, which replaces the archive once it is complete, and
// the unpack of the new archive into the data folder.

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
    // The next part of the body once it has arrived; none when the run stops.
    std::optional<QByteArray> nextChunk();
    // Why the part file cannot replace the archive; empty when it can.
    QString incompleteBecause() const;
    bool putInPlace();
    void unpack();

    // Cancel, the progress window closed or StopFlag set.
    bool stopAsked() const;
    void cancel();
    void fail(const QString& reason);
    void endRequest();

    QString archiveFile_;
    std::optional<qint64> announcedLength_;
    QPointer<Progress> progress_;
    QString partPath_;  // the download, beside the archive
    QFile part_;
    bool partInPlace_ = false;
    qint64 Total = 0;
};

#include "exchange/WebDownload.h"

#include "exchange/Progress.h"
#include "exchange/UpdateZip.h"
#include "platform/FileSystem.h"
#include "platform/Forms.h"
#include "platform/Interaction.h"
#include "platform/Pump.h"
#include "platform/Services.h"
#include "platform/ZipControl.h"
#include "search/ListSearch.h"

#include <QLabel>
#include <QProgressBar>
#include <filesystem>
#include <limits>
#include <system_error>

using platform::Forms;

namespace {

// The body is taken in parts as large as what has arrived, up to this, so a
// fast server is not held back by a pump per kilobyte; the bar still moves by
// the bytes written.
constexpr qint64 PartBytes = 256 * 1024;
const QString ProgressWindow = QStringLiteral("Progress");

int barPosition(qint64 bytes)
{
    return static_cast<int>(std::min<qint64>(bytes, std::numeric_limits<int>::max()));
}

}  // namespace

WebDownload::WebDownload(SearchForm& form, QString archiveFile, std::optional<qint64> announcedLength)
    : WebRun(form),
      archiveFile_(std::move(archiveFile)),
      announcedLength_(announcedLength),
      partPath_(ListSearch.LocalFolder + archiveFile_ + QStringLiteral(".part")),
      part_(platform::fileSystem().hostPath(partPath_))
{
}

// Every way out: the request abandoned, the part file dropped unless it has
// become the archive, the progress window unloaded.
WebDownload::~WebDownload()
{
    endRequest();
    Forms::unload(ProgressWindow);
}

void WebDownload::run()
{
    auto& progress = Forms::get<Progress>(ProgressWindow);
    progress_ = &progress;
    progress.Show(false, form_);
    progress.bar->setRange(0, announcedLength_ ? barPosition(*announcedLength_) : 0);
    progress.Status->setText(QStringLiteral("Starting download of update."));
    if (!startRequest() || !receiveBody())
        return;
    QString reason = incompleteBecause();
    if (!reason.isEmpty()) {
        notDownloaded(reason);
        return;
    }
    progress.Status->setText(QStringLiteral("Retrieved compressed data update!"));
    progress.bar->setValue(0);
    reason = unusableBecause();
    if (!reason.isEmpty()) {
        notUsed(reason);
        return;
    }
    if (putInPlace())
        unpack();
}

bool WebDownload::startRequest()
{
    web_->Execute();
    if (!waitFor([this] { return web_->HeadersReceived(); }, [this] { return stopAsked(); })) {
        if (!windowGone())
            cancel();
        return false;
    }
    if (!web_->ResponseSucceeded()) {
        notDownloaded(web_->HeadersReceived()
                          ? QStringLiteral("the server answered %1").arg(web_->ResponseCode())
                          : QStringLiteral("the server did not answer (") + web_->ErrorText() + u')');
        return false;
    }
    return true;
}

bool WebDownload::receiveBody()
{
    if (!part_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        notDownloaded(partPath_ + QStringLiteral(" could not be written (") + part_.errorString() + u')');
        return false;
    }
    QByteArray buffer(PartBytes, Qt::Uninitialized);
    for (;;) {
        if (!waitFor([this] { return web_->BytesAvailable() > 0; }, [this] { return stopAsked(); })) {
            if (!windowGone())
                cancel();
            return false;
        }
        const qint64 length = web_->GetChunk(buffer.data(), PartBytes);
        if (length == 0)
            break;  // the request is over and its body used up
        if (part_.write(buffer.constData(), length) != length) {
            notDownloaded(partPath_ + QStringLiteral(" could not be written (") + part_.errorString() + u')');
            return false;
        }
        Total += length;
        progress_->bar->setValue(barPosition(Total));
        platform::doEvents();
        if (windowGone())
            return false;
        if (stopAsked()) {
            cancel();
            return false;
        }
    }
    part_.close();
    return true;
}

QString WebDownload::incompleteBecause() const
{
    if (!web_->ErrorText().isEmpty())
        return QStringLiteral("the transfer broke off (") + web_->ErrorText() + u')';
    if (Total == 0)
        return QStringLiteral("the server sent an empty file");
    if (announcedLength_ && Total != *announcedLength_)
        return QStringLiteral("%1 of the %2 bytes announced arrived").arg(Total).arg(*announcedLength_);
    return {};
}

// Every entry must read back whole and the main listing be among them: an
// archive that fails either would replace a good one with nothing to search.
QString WebDownload::unusableBecause() const
{
    const platform::ArchiveTest test = platform::testArchive(part_.fileName());
    if (!test.fault.isEmpty())
        return test.fault;
    if (!test.holds(ListSearch.TextFile))
        return QStringLiteral("it holds no ") + ListSearch.TextFile;
    return {};
}

bool WebDownload::putInPlace()
{
    const QString archive = ListSearch.LocalFolder + archiveFile_;
    std::error_code error;
    std::filesystem::rename(part_.fileName().toStdString(),
                            platform::fileSystem().hostPath(archive).toStdString(), error);
    if (error) {
        notUsed(archive + QStringLiteral(" could not be replaced (") + QString::fromStdString(error.message()) + u')');
        return false;
    }
    partInPlace_ = true;
    return true;
}

void WebDownload::unpack()
{
    UpdateZip(*form_).unpackIntoDataFolder(archiveFile_, QStringLiteral("Decompressing..."));
}

bool WebDownload::stopAsked() const
{
    return ListSearch.StopFlag || !progress_ || progress_->isUnloaded();
}

void WebDownload::cancel()
{
    ListSearch.StopFlag = false;
    endRequest();
    Forms::unload(ProgressWindow);
}

void WebDownload::notDownloaded(const QString& reason)
{
    fail(QStringLiteral("The update could not be downloaded: ") + reason);
}

void WebDownload::notUsed(const QString& reason)
{
    fail(QStringLiteral("The update could not be used: ") + reason);
}

void WebDownload::fail(const QString& message)
{
    endRequest();
    Forms::unload(ProgressWindow);
    platform::interaction().msgBox(message + QStringLiteral(".\r\nYour data file has not been changed."));
}

// Abandons the request and drops the part file, unless it has become the archive.
void WebDownload::endRequest()
{
    if (web_)
        web_->Cancel();
    part_.close();
    if (!partInPlace_)
        part_.remove();
}

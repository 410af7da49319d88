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
using platform::ZipControl;

namespace {

constexpr int ChunkSize = 1024;
const QString ProgressWindow = QStringLiteral("Progress");

int barPosition(qint64 bytes)
{
    return static_cast<int>(std::min<qint64>(bytes, std::numeric_limits<int>::max()));
}

// Whether the file opens as a zip archive, asked of a control of its own so
// that no handler of the search window's Zip control sees its entries.
bool opensAsZipArchive(const QString& path)
{
    ZipControl inspector;
    bool readable = true;
    QObject::connect(&inspector, &ZipControl::ArchiveError, [&readable] { readable = false; });
    inspector.ZipOperation = ZipControl::Inspect;
    inspector.ArchiveName = path;
    inspector.RunOperation();
    return readable;
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
    const QString reason = incompleteBecause();
    if (!reason.isEmpty()) {
        fail(reason);
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
        fail(web_->HeadersReceived() ? QStringLiteral("the server answered %1").arg(web_->ResponseCode())
                                     : QStringLiteral("the server did not answer (") + web_->ErrorText() + u')');
        return false;
    }
    return true;
}

bool WebDownload::receiveBody()
{
    if (!part_.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        fail(partPath_ + QStringLiteral(" could not be written (") + part_.errorString() + u')');
        return false;
    }
    std::optional<QByteArray> next = nextChunk();
    if (!next)
        return false;
    for (;;) {
        const QByteArray held = *next;
        next = nextChunk();
        if (!next)
            return false;
        if (part_.write(held) != held.size()) {
            fail(partPath_ + QStringLiteral(" could not be written (") + part_.errorString() + u')');
            return false;
        }
        Total += held.size();
        progress_->bar->setValue(barPosition(Total));
        platform::doEvents();
        if (windowGone())
            return false;
        if (stopAsked()) {
            cancel();
            return false;
        }
        if (next->isEmpty())
            break;
    }
    if (!part_.flush()) {
        fail(partPath_ + QStringLiteral(" could not be written (") + part_.errorString() + u')');
        return false;
    }
    part_.close();
    return true;
}

std::optional<QByteArray> WebDownload::nextChunk()
{
    if (!waitFor([this] { return web_->BytesAvailable() >= ChunkSize; }, [this] { return stopAsked(); })) {
        if (!windowGone())
            cancel();
        return std::nullopt;
    }
    return web_->GetChunk(ChunkSize);
}

QString WebDownload::incompleteBecause() const
{
    if (!web_->ErrorText().isEmpty())
        return QStringLiteral("the transfer broke off (") + web_->ErrorText() + u')';
    if (Total == 0)
        return QStringLiteral("the server sent an empty file");
    if (announcedLength_ && Total != *announcedLength_)
        return QStringLiteral("%1 of the %2 bytes announced arrived").arg(Total).arg(*announcedLength_);
    if (!opensAsZipArchive(partPath_))
        return QStringLiteral("what arrived is not a zip archive");
    return {};
}

bool WebDownload::putInPlace()
{
    const QString archive = ListSearch.LocalFolder + archiveFile_;
    std::error_code error;
    std::filesystem::rename(part_.fileName().toStdString(),
                            platform::fileSystem().hostPath(archive).toStdString(), error);
    if (error) {
        fail(archive + QStringLiteral(" could not be replaced (") + QString::fromStdString(error.message()) + u')');
        return false;
    }
    partInPlace_ = true;
    return true;
}

void WebDownload::unpack()
{
    progress_->Status->setText(QStringLiteral("Retrieved compressed data update!"));
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

void WebDownload::fail(const QString& reason)
{
    endRequest();
    Forms::unload(ProgressWindow);
    platform::interaction().msgBox(QStringLiteral("The update could not be downloaded: ") + reason
                                   + QStringLiteral(".\r\nYour data file has not been changed."));
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

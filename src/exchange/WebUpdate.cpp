#include "exchange/WebUpdate.h"

#include "exchange/WebDownload.h"
#include "exchange/UpdateZip.h"
#include "exchange/WebRun.h"
#include "exchange/ZipEvents.h"
#include "platform/FileSystem.h"
#include "platform/Interaction.h"
#include "platform/NamedChild.h"
#include "platform/Services.h"
#include "platform/TimeZone.h"
#include "platform/ZipControl.h"
#include "runtime/DateTime.h"
#include "runtime/RuntimeError.h"
#include "search/ListSearch.h"

#include <QPushButton>
#include <algorithm>
#include <optional>

using platform::InternetTransfer;
using platform::MsgButtons;
using platform::MsgResult;

namespace {

const QString NoUpdateFile = QStringLiteral("There is no update file Avaliable.");
const QString UpToDate = QStringLiteral("Your data file is up to date.");

constexpr double MinutesPerDay = 24 * 60;

// What the first request learns of the server's copy.
struct ServerCopy {
    runtime::Date lastModified;             // UTC
    std::optional<qint64> announcedLength;  // none when missing or not a number
};

// "Mon, 07 Dec 2026 10:30:00 GMT" without its weekday and zone: the date and
// time it names. None for a shorter text or one that names no date.
std::optional<runtime::Date> httpDate(const QString& text)
{
    if (text.size() < 9)
        return std::nullopt;
    return runtime::parseDate(text.mid(5, text.size() - 9));
}

std::optional<qint64> wholeNumber(const QString& text)
{
    bool ok = false;
    const qint64 number = text.trimmed().toLongLong(&ok);
    return ok && number >= 0 ? std::optional(number) : std::nullopt;
}

// The local archive's time in UTC; 1 January 1980 when there is none. The
// daylight bias counts when daylight saving time is in force now, whatever it
// was at the file's time.
runtime::Date localArchiveTime(const QString& archive)
{
    const platform::FileSystem& fs = platform::fileSystem();
    if (!fs.fileExists(archive))
        return runtime::makeDate(1980, 1, 1);
    platform::TimeZoneInformation zone;
    const bool daylightNow = platform::GetTimeZoneInformation(zone) == platform::TimeZoneIdDaylight;
    const qint32 bias = zone.Bias + (daylightNow ? zone.DaylightBias : 0);
    return fs.fileDateTime(archive) + bias / MinutesPerDay;
}

bool anyZipBusy(const SearchForm& form)
{
    const auto controls = form.findChildren<platform::ZipControl*>(Qt::FindDirectChildrenOnly);
    return UpdateZip::anyBusy()
        || std::any_of(controls.begin(), controls.end(), [](const auto* zip) { return zip->isBusy(); });
}

class WebUpdateRun : public WebRun {
public:
    using WebRun::WebRun;

    void run()
    {
        archiveFile_ = ListSearch.ArchiveFile;
        const std::optional<ServerCopy> copy = askServer();
        if (!copy || !offered(*copy))
            return;
        WebDownload(*form_, archiveFile_, copy->announcedLength).run();
    }

private:
    // The first request, for the headers alone.
    std::optional<ServerCopy> askServer()
    {
        web_->Document = archiveFile_;
        web_->RemoteHost = ListSearch.WebServer;
        web_->Execute();
        if (!waitFor([this] { return web_->HeadersReceived(); }))
            return std::nullopt;
        const std::optional<runtime::Date> lastModified = httpDate(web_->GetHeader(QStringLiteral("Last-Modified:")));
        if (!lastModified || !web_->ResponseSucceeded()) {
            platform::interaction().msgBox(NoUpdateFile);
            if (!windowGone())
                web_->Cancel();
            return std::nullopt;
        }
        ServerCopy copy{*lastModified, wholeNumber(web_->GetHeader(QStringLiteral("Content-Length:")))};
        web_->Cancel();
        return copy;
    }

    // True when the server's copy is newer and the user wants it.
    bool offered(const ServerCopy& copy)
    {
        const runtime::Date localTime = localArchiveTime(ListSearch.LocalFolder + archiveFile_);
        if (minuteBoundaries(localTime, copy.lastModified) <= 1) {
            platform::interaction().msgBox(UpToDate);
            return false;
        }
        const MsgResult answer = platform::interaction().msgBox(
            QStringLiteral("An updated data file is avaliable at ") + web_->URL()
                + QStringLiteral(" do you want to download the update?"),
            MsgButtons::YesNo);
        return answer == MsgResult::Yes && !windowGone();
    }

    QString archiveFile_;
};

}  // namespace

InternetTransfer& webControl(SearchForm& form)
{
    return platform::namedChild<InternetTransfer>(form, QStringLiteral("Web"));
}

void WebUpdate_Click(SearchForm& form)
{
    if (anyZipBusy(form))
        return;
    form.WebUpdate->setEnabled(false);
    WebUpdateRun run(form);
    try {
        run.run();
    } catch (const runtime::RuntimeError& error) {
        if (!run.windowGone())
            platform::interaction().msgBox(QStringLiteral("Web Update Error: ") + QString::number(error.number())
                                           + u' ' + error.description());
    }
    if (!run.windowGone())
        form.WebUpdate->setEnabled(true);
}

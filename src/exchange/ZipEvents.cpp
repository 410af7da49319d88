#include "exchange/ZipEvents.h"

#include "exchange/Progress.h"
#include "platform/Forms.h"
#include "platform/Interaction.h"
#include "platform/Pump.h"
#include "platform/Services.h"
#include "platform/ZipControl.h"
#include "search/ListSearch.h"

#include <QProgressBar>
#include <cmath>

namespace {

qint64 wholeMinutes(runtime::Date date)
{
    const runtime::DateParts parts = runtime::splitDate(date);
    const auto day = static_cast<qint64>(std::llround(runtime::makeDate(parts.year, parts.month, parts.day)));
    return day * 24 * 60 + parts.hour * 60 + parts.minute;
}

}  // namespace

qint64 minuteBoundaries(runtime::Date from, runtime::Date to)
{
    return wholeMinutes(to) - wholeMinutes(from);
}

void Zip_EntryInfo(const QString& name, qint64, qint64, quint32, int month, int day, int year,
                   int hour, int minute)
{
    const runtime::Date entryTime = runtime::makeDate(year, month, day, hour, minute);
    if (minuteBoundaries(ListSearch.ListFileDate, entryTime) > 1) {
        ListSearch.TextFile = name;
        ListSearch.ArchiveNewer = true;
    }
}

void Zip_ArchiveError(platform::ZipControl& Zip, int code)
{
    platform::interaction().msgBox(QStringLiteral("Archive Error: ") + Zip.ErrorText(code));
}

void Zip_Idle()
{
    platform::doEvents();
}

void Zip_Progress(double percent, qint64, qint64, int, int)
{
    platform::Forms::get<Progress>(QStringLiteral("Progress")).bar->setValue(static_cast<int>(std::lround(percent)));
    platform::doEvents();
}

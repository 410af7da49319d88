#include "exchange/ZipEvents.h"

#include "exchange/Progress.h"
#include "platform/Forms.h"
#include "platform/Interaction.h"
#include "platform/Pump.h"
#include "platform/Services.h"
#include "platform/ZipControl.h"
#include "search/ListSearch.h"
#include "search/SearchForm.h"

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

platform::ZipControl& zipControl(SearchForm& form)
{
    const QString name = QStringLiteral("Zip");
    if (auto* existing = form.findChild<platform::ZipControl*>(name, Qt::FindDirectChildrenOnly))
        return *existing;
    auto* Zip = new platform::ZipControl(&form);
    Zip->setObjectName(name);
    connectZipEvents(*Zip);
    return *Zip;
}

void connectZipEvents(platform::ZipControl& Zip)
{
    using platform::ZipControl;
    QObject::connect(&Zip, &ZipControl::EntryInfo, &Zip, &Zip_EntryInfo);
    QObject::connect(&Zip, &ZipControl::ArchiveError, &Zip, [&Zip](int code) { Zip_ArchiveError(Zip, code); });
    QObject::connect(&Zip, &ZipControl::Idle, &Zip, &Zip_Idle);
    QObject::connect(&Zip, &ZipControl::Progress, &Zip, &Zip_Progress);
}

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

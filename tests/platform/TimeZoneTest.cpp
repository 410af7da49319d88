// The time-zone data from the C library's zone, in both hemispheres and in
// zones without daylight saving time, at a winter and a summer moment.

#include "platform/TimeZone.h"

#include <QDateTime>
#include <QTimeZone>
#include <gtest/gtest.h>
#include <ostream>
#include <time.h>

namespace {

struct ZoneCase {
    const char* tz;
    int month;  // of 2026, on the 15th at noon UTC
    int state;
    std::int32_t bias, daylightBias;
};

void PrintTo(const ZoneCase& c, std::ostream* os) { *os << c.tz << " in month " << c.month; }

class TimeZoneTest : public ::testing::TestWithParam<ZoneCase> {
protected:
    void SetUp() override
    {
        keptTz_ = qgetenv("TZ");
        qputenv("TZ", GetParam().tz);
        tzset();
    }
    void TearDown() override
    {
        if (keptTz_.isNull())
            qunsetenv("TZ");
        else
            qputenv("TZ", keptTz_);
        tzset();
    }

private:
    QByteArray keptTz_;
};

TEST_P(TimeZoneTest, BiasesAndTheStateInForce)
{
    const ZoneCase& c = GetParam();
    const auto at = static_cast<std::time_t>(
        QDateTime(QDate(2026, c.month, 15), QTime(12, 0), Qt::UTC).toSecsSinceEpoch());
    platform::TimeZoneInformation info;
    EXPECT_EQ(platform::timeZoneAt(at, info), c.state);
    EXPECT_EQ(info.Bias, c.bias);
    EXPECT_EQ(info.DaylightBias, c.daylightBias);
}

INSTANTIATE_TEST_SUITE_P(
    Zones, TimeZoneTest,
    ::testing::Values(ZoneCase{"PST8PDT,M3.2.0,M11.1.0", 1, platform::TimeZoneIdStandard, 480, -60},
                      ZoneCase{"PST8PDT,M3.2.0,M11.1.0", 7, platform::TimeZoneIdDaylight, 480, -60},
                      ZoneCase{"AEST-10AEDT,M10.1.0,M4.1.0/3", 1, platform::TimeZoneIdDaylight, -600, -60},
                      ZoneCase{"AEST-10AEDT,M10.1.0,M4.1.0/3", 7, platform::TimeZoneIdStandard, -600, -60},
                      ZoneCase{"IST-5:30", 7, platform::TimeZoneIdUnknown, -330, 0},
                      ZoneCase{"UTC0", 1, platform::TimeZoneIdUnknown, 0, 0}));

}  // namespace

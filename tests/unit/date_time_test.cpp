// The host's date-time value over the calendar's edges: which fields make a date, its day count, and that a
// date formats back to itself in every form the plug-in writes (Cabrillo and bad-QSO lines, the bad-QSO
// file's name, the report's dates and times).
#include <gtest/gtest.h>

#include <string>

#include "common/ole_date_time.h"

namespace {

constexpr double kSecond = 1.0 / 86400.0;
constexpr double kNoCount = 1e9;  // the row does not state a day count

TEST(DateTime, KeepsTheHostLayout) {
    EXPECT_EQ(sizeof(COleDateTime), 16u);
    COleDateTime t(1.5, COleDateTime::null);
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&t);
    EXPECT_EQ(bytes[8], 2);
}

TEST(DateTime, CalendarEdges) {
    struct Case {
        int y, mo, d, h, mi, s;
        bool valid;
        double days = kNoCount;
        const char* weekday = "";
    } cases[] = {
        // The last day of every month and the day after it; day 0.
        {2019, 1, 31, 0, 0, 0, true},   {2019, 1, 32, 0, 0, 0, false},  {2019, 1, 0, 0, 0, 0, false},
        {2019, 2, 28, 0, 0, 0, true},   {2019, 2, 29, 0, 0, 0, false},  {2020, 2, 29, 0, 0, 0, true, 43890, "Sat"},
        {2020, 2, 30, 0, 0, 0, false},  {2000, 2, 29, 0, 0, 0, true, 36585},  {1900, 2, 29, 0, 0, 0, false},
        {2100, 2, 29, 0, 0, 0, false},  {2019, 3, 31, 0, 0, 0, true},   {2019, 3, 32, 0, 0, 0, false},
        {2019, 4, 30, 0, 0, 0, true},   {2019, 4, 31, 0, 0, 0, false},  {2019, 5, 31, 0, 0, 0, true},
        {2019, 5, 32, 0, 0, 0, false},  {2019, 6, 30, 0, 0, 0, true},   {2019, 6, 31, 0, 0, 0, false},
        {2019, 7, 31, 0, 0, 0, true},   {2019, 7, 32, 0, 0, 0, false},  {2019, 8, 31, 0, 0, 0, true},
        {2019, 8, 32, 0, 0, 0, false},  {2019, 9, 30, 0, 0, 0, true},   {2019, 9, 31, 0, 0, 0, false},
        {2019, 10, 31, 0, 0, 0, true},  {2019, 10, 32, 0, 0, 0, false}, {2019, 11, 30, 0, 0, 0, true},
        {2019, 11, 31, 0, 0, 0, false}, {2018, 12, 31, 23, 59, 59, true}, {2019, 12, 32, 0, 0, 0, false},
        {2019, 0, 1, 0, 0, 0, false},   {2019, 13, 1, 0, 0, 0, false},
        // The clock's edges.
        {2019, 1, 5, 24, 0, 0, false},  {2019, 1, 5, 23, 60, 0, false}, {2019, 1, 5, 23, 59, 60, false},
        {2019, 1, 5, -1, 0, 0, false},
        // The epoch, the days around it, and the range the host's type holds.
        {1899, 12, 30, 0, 0, 0, true, 0, "Sat"}, {1899, 12, 31, 0, 0, 0, true, 1}, {1900, 1, 1, 0, 0, 0, true, 2},
        {1900, 3, 1, 0, 0, 0, true, 61}, {1899, 12, 29, 6, 0, 0, true, -1.25}, {2020, 1, 5, 0, 0, 0, true, 43835, "Sun"},
        {100, 1, 1, 0, 0, 0, true, -657434}, {99, 12, 31, 0, 0, 0, false}, {9999, 12, 31, 0, 0, 0, true},
        {10000, 1, 1, 0, 0, 0, false},
    };
    for (const Case& c : cases) {
        char want[64];
        std::snprintf(want, sizeof want, "%04d-%02d-%02d %02d:%02d:%02d", c.y, c.mo, c.d, c.h, c.mi, c.s);
        SCOPED_TRACE(want);
        COleDateTime t = COleDateTime::FromFields(c.y, c.mo, c.d, c.h, c.mi, c.s);
        ASSERT_EQ(t.IsValid(), c.valid);
        if (!c.valid) continue;
        if (c.days != kNoCount) { EXPECT_DOUBLE_EQ(t.m_dt, c.days); }
        EXPECT_EQ(t.Format("%Y-%m-%d %H:%M:%S"), want);
        char hhmm[8], dm[8], dmy[16], dmyFile[16];
        std::snprintf(hhmm, sizeof hhmm, "%02d%02d", c.h, c.mi);
        std::snprintf(dm, sizeof dm, "%02d.%02d", c.d, c.mo);
        std::snprintf(dmy, sizeof dmy, "%02d.%02d.%04d", c.d, c.mo, c.y);
        std::snprintf(dmyFile, sizeof dmyFile, "%02d_%02d_%04d", c.d, c.mo, c.y);
        EXPECT_EQ(t.Format("%Y-%m-%d %H%M"), std::string(want).substr(0, 11) + hhmm);
        EXPECT_EQ(t.Format("%d.%m"), dm);
        EXPECT_EQ(t.Format("%d.%m.%Y"), dmy);
        EXPECT_EQ(t.Format("%d_%m_%Y"), dmyFile);
        EXPECT_EQ(t.Format("%H:%M"), std::string(want).substr(11, 5));
        EXPECT_EQ(t.GetHour(), c.h);
        if (*c.weekday) { EXPECT_EQ(t.Format("%a"), c.weekday); }
    }
}

// Values as the host may pass them: fractions rounded to the nearest second before the split, negative day
// counts keeping their fraction as the time of day, and values that are no date formatting empty.
TEST(DateTime, HostValuesFormatByTheNearestSecond) {
    const double lastMinute2018 = COleDateTime::FromFields(2018, 12, 31, 23, 59, 0).m_dt;
    struct Case {
        COleDateTime t;
        const char* format;
        const char* expected;
    } cases[] = {
        {COleDateTime(lastMinute2018 + 59.499 * kSecond, 0), "%Y-%m-%d %H:%M:%S", "2018-12-31 23:59:59"},
        {COleDateTime(lastMinute2018 + 59.501 * kSecond, 0), "%Y-%m-%d %H:%M:%S", "2019-01-01 00:00:00"},
        {COleDateTime(-1.25, 0), "%Y-%m-%d %H:%M", "1899-12-29 06:00"},
        {COleDateTime(-0.5, 0), "%Y-%m-%d %H:%M", "1899-12-30 12:00"},
        {COleDateTime(43835.0 + 18 / 24.0 + 7 / 1440.0 + 9 * kSecond, 0), "%S %% %j %b %B %A %y %I%p", "09 % 005 Jan "
                                                                                                   "January Sunday "
                                                                                                   "20 06PM"},
        {COleDateTime(43835.5, 0), "", ""},
        {COleDateTime(43835.5, COleDateTime::invalid), "%Y-%m-%d %H%M", ""},
        {COleDateTime::Null(), "%Y-%m-%d %H%M", ""},
        {COleDateTime(1e7, 0), "%Y-%m-%d %H%M", ""},
        {COleDateTime(-1e7, 0), "%Y-%m-%d %H%M", ""},
        {COleDateTime(7, 99), "%Y-%m-%d %H%M", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.t.Format(c.format), c.expected) << c.t.m_dt << " " << c.format;
        if (*c.expected == '\0' && *c.format) { EXPECT_EQ(c.t.GetHour(), -1) << c.t.m_dt; }
    }
}

TEST(DateTime, SameTimeMatchesValidValuesOrTwoNulls) {
    COleDateTime a = COleDateTime::FromFields(2020, 1, 5, 14, 32);
    EXPECT_TRUE(a.SameTime(a));
    EXPECT_FALSE(a.SameTime(COleDateTime::FromFields(2020, 1, 5, 14, 33)));
    EXPECT_TRUE(COleDateTime::Null().SameTime(COleDateTime(5.0, COleDateTime::null)));
    COleDateTime bad(a.m_dt, COleDateTime::invalid);
    EXPECT_FALSE(bad.SameTime(bad));
    EXPECT_FALSE(a.SameTime(COleDateTime::Null()));
}

}  // namespace

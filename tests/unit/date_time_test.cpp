#include <gtest/gtest.h>

#include "common/ole_date_time.h"

namespace {

constexpr double kSecond = 1.0 / 86400.0;

COleDateTime At(int y, int mo, int d, int h, int mi, int s = 0) { return COleDateTime::FromFields(y, mo, d, h, mi, s); }

TEST(DateTime, KeepsTheHostLayout) {
    EXPECT_EQ(sizeof(COleDateTime), 16u);
    COleDateTime t(1.5, COleDateTime::null);
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&t);
    EXPECT_EQ(bytes[8], 2);
}

TEST(DateTime, DayCountsMatchTheCalendar) {
    struct Case { int y, m, d; double days; } cases[] = {
        {1899, 12, 30, 0}, {1899, 12, 31, 1}, {1900, 1, 1, 2}, {1900, 3, 1, 61},
        {2000, 2, 29, 36585}, {2020, 1, 5, 43835}, {1899, 12, 29, -1}, {100, 1, 1, -657434},
    };
    for (const auto& c : cases) {
        COleDateTime t = At(c.y, c.m, c.d, 0, 0);
        EXPECT_TRUE(t.IsValid());
        EXPECT_DOUBLE_EQ(t.m_dt, c.days) << c.y << "-" << c.m << "-" << c.d;
    }
    EXPECT_FALSE(At(2019, 2, 29, 0, 0).IsValid());
    EXPECT_FALSE(At(2019, 13, 1, 0, 0).IsValid());
}

TEST(DateTime, FormatsTheConversionsTheReportsUse) {
    COleDateTime t = At(2020, 1, 5, 18, 7, 9);
    struct Case { const char* format; const char* expected; } cases[] = {
        {"%Y-%m-%d %H%M", "2020-01-05 1807"}, {"%H:%M", "18:07"}, {"%H%M", "1807"},
        {"%d.%m", "05.01"}, {"%Y", "2020"}, {"%d.%m.%Y", "05.01.2020"}, {"%d_%m_%Y", "05_01_2020"},
        {"%S %% %a %b", "09 % Sun Jan"}, {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(t.Format(c.format), c.expected) << c.format;
}

TEST(DateTime, RoundsToTheNearestSecondBeforeSplitting) {
    COleDateTime base = At(2018, 12, 31, 23, 59, 0);
    EXPECT_EQ(COleDateTime(base.m_dt + 59.499 * kSecond, 0).Format("%Y-%m-%d %H:%M:%S"), "2018-12-31 23:59:59");
    EXPECT_EQ(COleDateTime(base.m_dt + 59.501 * kSecond, 0).Format("%Y-%m-%d %H:%M:%S"), "2019-01-01 00:00:00");
    COleDateTime q = At(2018, 1, 6, 14, 32, 0);
    EXPECT_EQ(COleDateTime(q.m_dt + 59.501 * kSecond, 0).Format("%H%M"), "1433");
    EXPECT_EQ(COleDateTime(q.m_dt + 59.499 * kSecond, 0).Format("%H%M"), "1432");
}

TEST(DateTime, NegativeDayCountsKeepTheirFractionAsTimeOfDay) {
    EXPECT_EQ(COleDateTime(-1.25, 0).Format("%Y-%m-%d %H:%M"), "1899-12-29 06:00");
    EXPECT_EQ(COleDateTime(-0.5, 0).Format("%Y-%m-%d %H:%M"), "1899-12-30 12:00");
    EXPECT_EQ(At(1899, 12, 29, 6, 0).m_dt, -1.25);
}

TEST(DateTime, NotValidFormatsEmptyAndHasNoHour) {
    const COleDateTime cases[] = {COleDateTime(43835.5, COleDateTime::invalid), COleDateTime::Null(),
                                  COleDateTime(1e7, 0), COleDateTime(-1e7, 0), COleDateTime(7, 99)};
    for (const auto& t : cases) {
        EXPECT_EQ(t.Format("%Y-%m-%d %H%M"), "");
        EXPECT_EQ(t.GetHour(), -1);
    }
    EXPECT_EQ(At(2020, 1, 5, 14, 59).GetHour(), 14);
}

TEST(DateTime, SameTimeMatchesValidValuesOrTwoNulls) {
    COleDateTime a = At(2020, 1, 5, 14, 32);
    EXPECT_TRUE(a.SameTime(a));
    EXPECT_FALSE(a.SameTime(At(2020, 1, 5, 14, 33)));
    EXPECT_TRUE(COleDateTime::Null().SameTime(COleDateTime(5.0, COleDateTime::null)));
    COleDateTime bad(a.m_dt, COleDateTime::invalid);
    EXPECT_FALSE(bad.SameTime(bad));
    EXPECT_FALSE(a.SameTime(COleDateTime::Null()));
}

}  // namespace

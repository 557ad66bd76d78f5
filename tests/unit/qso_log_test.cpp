#include <gtest/gtest.h>

#include <stdexcept>

#include "engine/qso_log.h"

namespace {

CInfo Qso(const char* call) {
    CInfo r;
    r.call = call;
    return r;
}

TEST(QsoLog, KeepsLoggingOrderAndClosesTheGapOnRemove) {
    QsoLog log;
    for (const char* c : {"K1AB", "DL1XX", "VE3AA", "W5KFT"}) log.Append(Qso(c));
    log.RemoveAt(1);
    ASSERT_EQ(log.Count(), 3u);
    EXPECT_EQ(log.At(0).call, "K1AB");
    EXPECT_EQ(log.At(1).call, "VE3AA");
    EXPECT_EQ(log.At(2).call, "W5KFT");
    log.RemoveAt(2);
    log.RemoveAt(0);
    ASSERT_EQ(log.Count(), 1u);
    EXPECT_EQ(log.At(0).call, "VE3AA");
}

TEST(QsoLog, IndexOutsideTheLogThrowsInvalidArgument) {
    QsoLog log;
    EXPECT_THROW(log.At(0), std::invalid_argument);
    EXPECT_THROW(log.RemoveAt(0), std::invalid_argument);
    log.Append(Qso("K1AB"));
    EXPECT_THROW(log.At(1), std::invalid_argument);
    EXPECT_THROW(log.RemoveAt(static_cast<size_t>(-1)), std::invalid_argument);
    EXPECT_EQ(log.Count(), 1u);
}

TEST(QsoLog, RecordsAreValuesAndClearEmptiesEverything) {
    QsoLog log;
    CInfo r = Qso("K1AB");
    r.time = COleDateTime(43835.5, 0);
    log.Append(r);
    r.call = "CHANGED";
    EXPECT_EQ(log.At(0).call, "K1AB");
    for (int i = 0; i < 500; ++i) log.Append(r);
    log.Clear();
    EXPECT_TRUE(log.Empty());
    EXPECT_EQ(log.begin(), log.end());
}

}  // namespace

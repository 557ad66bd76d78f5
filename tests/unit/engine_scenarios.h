#pragma once
// Logging scenarios with the whole bad-QSO file each must leave behind. The native engine tests and the
// tests of the DLL under wine run the same tables, so both builds are held to the same bytes.
// Data only: the Windows tests include this without linking the core.
#include <string>
#include <vector>

#include "common/ole_date_time.h"

namespace scenario {

// A QSO time in January 2020 (1 January 2020 is day 43831).
inline COleDateTime Jan2020(int day, int hour, int minute) {
    return COleDateTime(43830.0 + day + (hour * 60 + minute) / 1440.0, COleDateTime::valid);
}

// Every reset of the scenarios gives this period, from Saturday 00:00 through Sunday 23:59, so the file is
// BadQSO_DezuvEZIR_05_01_2020.txt; the QSOs of the scenarios are made in it but for those made outside it on
// purpose.
inline COleDateTime ContestEnd() { return Jan2020(5, 23, 59); }
inline COleDateTime ContestStart() { return Jan2020(4, 0, 0); }
constexpr const char* kBadQsoFile = "BadQSO_DezuvEZIR_05_01_2020.txt";
constexpr const char* kOwnCall = "W1AW";
constexpr const char* kCreatedHeader = "ARRL-RTTY-Roundup Contest UBN file\r\n";
constexpr const char* kRewrittenHeader = "ARRL-RTTY-Roundup Contest UBN file \r\n";

// One AddData0 or RemoveData0 call. Own call W1AW, RSTs 599 both ways.
struct QsoRow {
    const char* call;
    const char* band;
    const char* mode;
    const char* prefix;
    const char* exchRcvd;
    int day, hour, minute;  // January 2020; day 0 passes no date-time at all (a null pointer)
    int result;             // AddData0's answer (RemoveData0 always answers 1)
    const char* exchSent = "CT";
    unsigned freqHz = 14085000;
};

inline COleDateTime TimeOf(const QsoRow& row) {
    return row.day == 0 ? COleDateTime::Null() : Jan2020(row.day, row.hour, row.minute);
}

struct Scenario {
    const char* name;
    std::vector<QsoRow> added;
    std::vector<QsoRow> removed;  // after all adds, in order
    std::string badQsoFile;       // whole file, every byte
};

inline std::vector<Scenario> LoggingScenarios() {
    return {
        {"RejectionsWriteOneLineEach",
         {
             {"DL1ABC", "160m", "RTTY", "DL", "001", 4, 14, 32, 0, "CT", 1840000},
             {"DL1ABC", "20m", "CW", "DL", "001", 4, 14, 33, 0},
             {"DL1ABC", "20m", "BPSK62", "DL", "001", 4, 14, 33, 0},
             {"K1AB", "40m", "RTTY", "K", "NY", 4, 14, 34, 0, ""},
             {"K1AB", "40m", "RTTY", "K", "", 4, 14, 35, 0},
             {"OH2XX", "30m", "RTTY", "OH", "005", 0, 0, 0, 0, "CT", 10120999},
             {"", "", "", "", "", 4, 0, 0, 0, "", 0},
         },
         {},
         std::string(kCreatedHeader) +
             "QSO:  1840  RTTY  2020-01-04 1432  W1AW  599  CT  DL1ABC  599  001   WRONG BAND !!!\r\n"
             "QSO:  14085  CW  2020-01-04 1433  W1AW  599  CT  DL1ABC  599  001   WRONG MODE !!!\r\n"
             "QSO:  14085  BPSK62  2020-01-04 1433  W1AW  599  CT  DL1ABC  599  001   WRONG MODE !!!\r\n"
             "QSO:  14085  RTTY  2020-01-04 1434  W1AW  599    K1AB  599  NY   NO RX NUMBER !!!\r\n"
             "QSO:  14085  RTTY  2020-01-04 1435  W1AW  599  CT  K1AB  599     NO RX NUMBER !!!\r\n"
             "QSO:  10120  RTTY    W1AW  599  CT  OH2XX  599  005   WRONG BAND !!!\r\n"
             "QSO:  0    2020-01-04 0000  W1AW  599      599     WRONG BAND !!!\r\n"},
        {"StateProvinceAndDupes",
         {
             {"K1AB", "40m", "rtty", "K", " ny ", 4, 14, 1, 1},
             {"VE1PE", "20M", "RTTY", "VE", "pei", 4, 14, 2, 1},
             {"W2XX", "20m", "RTTY", "K", " xx", 4, 14, 3, 1},
             {"W2XX", "20m", "RTTY", "K", "XX", 4, 14, 4, 1},
             {"W2XX", "20M", "RTTY", "K", "NY", 4, 14, 5, 1},
             {"W2XX", "20m", "BPSK31", "K", "NY", 4, 14, 6, 1},
             {"DL1ABC", "20m", "RTTY", "DL", "ny", 4, 14, 7, 1},
             {"dl1abc", "20m", "RTTY", "DL", "002", 4, 14, 8, 1},
             {"DL1ABC", "20m", "RTTY", "DL", "003", 4, 14, 9, 1},
             {"K1AB", "40m", "rtty", "W", "12", 4, 14, 10, 1},
             {"K1AB", "40m", "RTTY", "k", "NY", 4, 14, 11, 1},
         },
         {},
         std::string(kCreatedHeader) +
             "QSO:  14085  RTTY  2020-01-04 1403  W1AW  599  CT  W2XX  599   xx  XX  State/Province is not "
             "acceptable !!!\r\n"
             "QSO:  14085  RTTY  2020-01-04 1404  W1AW  599  CT  W2XX  599  XX  XX  State/Province is not "
             "acceptable !!!\r\n"
             "QSO:  14085  RTTY  2020-01-04 1409  W1AW  599  CT  DL1ABC  599  003   DUPE !!!\r\n"
             "QSO:  14085  rtty  2020-01-04 1410  W1AW  599  CT  K1AB  599  12   DUPE !!!\r\n"
             "QSO:  14085  RTTY  2020-01-04 1411  W1AW  599  CT  K1AB  599  NY   DUPE !!!\r\n"},
        {"RemovingAStationsFirstQsoOnABandLetsTheNextOneCount",
         {
             {"K1AB", "20m", "RTTY", "K", "NY", 4, 14, 1, 1},
             {"K1AB", "20m", "BPSK31", "K", "NY", 4, 14, 2, 1},  // another mode, the same band: a dupe
             {"K1AB", "20m", "RTTY", "K", "XX", 4, 14, 3, 1},
             {"K1AB", "40m", "RTTY", "K", "NY", 4, 14, 4, 1},
             {"W2XX", "15m", "RTTY", "K", "NY", 4, 15, 0, 1},
             {"W2XX", "15m", "FT8", "K", "ZZ", 4, 15, 1, 1},
         },
         {
             {"K1AB", "20m", "RTTY", "K", "", 4, 14, 1, 1},
             {"W2XX", "15m", "RTTY", "K", "", 4, 15, 0, 1},
         },
         // The 14:02 QSO counts now and its dupe line went; 14:03 is still a dupe of it. The 15:01 QSO is
         // no dupe any more but keeps its bad province.
         std::string(kRewrittenHeader) +
             "QSO:  14085  RTTY  2020-01-04 1403  W1AW  599  CT  K1AB  599  XX  XX  State/Province is not "
             "acceptable !!!\r\n"
             "QSO:  14085  RTTY  2020-01-04 1403  W1AW  599  CT  K1AB  599  XX   DUPE !!!\r\n"
             "QSO:  14085  FT8  2020-01-04 1501  W1AW  599  CT  W2XX  599  ZZ  ZZ  State/Province is not "
             "acceptable !!!\r\n"},
        {"RemoveDropsOnlyTheRemovedQsosLines",
         {
             {"K1AB", "20m", "RTTY", "K", "XX", 4, 14, 32, 1},
             {"K1AB", "20m", "RTTY", "K", "XX", 4, 14, 32, 1},
             {"K1ABC", "20m", "RTTY", "K", "XX", 4, 14, 32, 1},
             {"K1AB", "20m", "RTTY", "K", "YY", 5, 14, 32, 1},
             {"K1AB", "40m", "RTTY", "K", "1432", 4, 15, 10, 1},
             {"W1XYZ", "15m", "RTTY", "K", "K1AB", 4, 14, 32, 1},
             {"K1AB", "80m", "RTTY", "K", "ZZ", 4, 14, 31, 1, "1432"},
         },
         {
             {"K1AB", "20m", "RTTY", "K", "", 4, 14, 32, 1},
         },
         std::string(kRewrittenHeader) +
             "QSO:  14085  RTTY  2020-01-04 1432  W1AW  599  CT  K1ABC  599  XX  XX  State/Province is not "
             "acceptable !!!\r\n"
             "QSO:  14085  RTTY  2020-01-05 1432  W1AW  599  CT  K1AB  599  YY  YY  State/Province is not "
             "acceptable !!!\r\n"
             "QSO:  14085  RTTY  2020-01-04 1510  W1AW  599  CT  K1AB  599  1432  1432  State/Province is not "
             "acceptable !!!\r\n"
             "QSO:  14085  RTTY  2020-01-04 1432  W1AW  599  CT  W1XYZ  599  K1AB  K1AB  State/Province is not "
             "acceptable !!!\r\n"
             "QSO:  14085  RTTY  2020-01-04 1431  W1AW  599  1432  K1AB  599  ZZ  ZZ  State/Province is not "
             "acceptable !!!\r\n"},
        // A QSO the contest does not count leaves the station's band free: the next QSO there counts (a resend
        // of the exchange after a bad one), and the one after that is its dupe. A QSO outside the period is
        // logged and counts nothing; the end at 23:59 includes that minute.
        {"AQsoThatCannotCountLeavesTheBandFree",
         {
             {"W2XX", "15m", "RTTY", "K", "ON", 4, 10, 0, 1},     // Ontario is no US state
             {"W2XX", "15m", "RTTY", "K", "NY", 4, 10, 1, 1},     // the resend counts
             {"W2XX", "15m", "FT8", "K", "NY", 4, 10, 2, 1},      // a dupe of the resend
             {"VE3AA", "15m", "RTTY", "VE", "MA", 4, 10, 3, 1},  // nor is MA a Canadian province
             {"DL1ABC", "20m", "RTTY", "DL", "001", 3, 23, 59, 1},
             {"DL1ABC", "20m", "RTTY", "DL", "002", 4, 0, 0, 1},
             {"DL1ABC", "20m", "RTTY", "DL", "003", 5, 23, 59, 1},
             {"OH2XX", "20m", "RTTY", "OH", "004", 6, 0, 0, 1},
             {"K1AB", "40m", "RTTY", "K", "XX", 6, 0, 0, 1},
         },
         {},
         std::string(kCreatedHeader) +
             "QSO:  14085  RTTY  2020-01-04 1000  W1AW  599  CT  W2XX  599  ON  ON  State/Province is not "
             "acceptable !!!\r\n"
             "QSO:  14085  FT8  2020-01-04 1002  W1AW  599  CT  W2XX  599  NY   DUPE !!!\r\n"
             "QSO:  14085  RTTY  2020-01-04 1003  W1AW  599  CT  VE3AA  599  MA  MA  State/Province is not "
             "acceptable !!!\r\n"
             "QSO:  14085  RTTY  2020-01-03 2359  W1AW  599  CT  DL1ABC  599  001   OUTSIDE CONTEST PERIOD !!!\r\n"
             "QSO:  14085  RTTY  2020-01-05 2359  W1AW  599  CT  DL1ABC  599  003   DUPE !!!\r\n"
             "QSO:  14085  RTTY  2020-01-06 0000  W1AW  599  CT  OH2XX  599  004   OUTSIDE CONTEST PERIOD !!!\r\n"
             "QSO:  14085  RTTY  2020-01-06 0000  W1AW  599  CT  K1AB  599  XX  XX  State/Province is not "
             "acceptable !!!\r\n"
             "QSO:  14085  RTTY  2020-01-06 0000  W1AW  599  CT  K1AB  599  XX   OUTSIDE CONTEST PERIOD !!!\r\n"},
        // Removing the QSO that occupied the band: every later QSO there that no QSO left before it occupies is
        // no dupe any more, whether it counts now or still fails its exchange.
        {"RemovingTheQsoThatOccupiedABandFreesEveryLaterOne",
         {
             {"K1AB", "20m", "RTTY", "K", "NY", 4, 14, 1, 1},
             {"K1AB", "20m", "RTTY", "K", "XX", 4, 14, 2, 1},
             {"K1AB", "20m", "RTTY", "K", "NY", 4, 14, 3, 1},
             {"K1AB", "20m", "RTTY", "K", "NY", 4, 14, 4, 1},
         },
         {
             {"K1AB", "20m", "RTTY", "K", "", 4, 14, 1, 1},
         },
         std::string(kRewrittenHeader) +
             "QSO:  14085  RTTY  2020-01-04 1402  W1AW  599  CT  K1AB  599  XX  XX  State/Province is not "
             "acceptable !!!\r\n"
             "QSO:  14085  RTTY  2020-01-04 1404  W1AW  599  CT  K1AB  599  NY   DUPE !!!\r\n"},
        {"RemoveKeepsOtherLinesWhenNothingMatches",
         {
             {"DL1ABC", "160m", "RTTY", "DL", "001", 4, 14, 32, 0},
             {"K1AB", "20m", "RTTY", "K", "XX", 4, 14, 33, 1},
         },
         {
             {"K1AB", "20m", "RTTY", "K", "", 4, 14, 34, 1},
             {"K1AB", "20m", "BPSK31", "K", "", 4, 14, 34, 1},
         },
         std::string(kRewrittenHeader) +
             "QSO:  14085  RTTY  2020-01-04 1432  W1AW  599  CT  DL1ABC  599  001   WRONG BAND !!!\r\n"
             "QSO:  14085  RTTY  2020-01-04 1433  W1AW  599  CT  K1AB  599  XX  XX  State/Province is not "
             "acceptable !!!\r\n"},
        {"RemoveMatchesLinesWithEmptyFields",
         {
             {"K1AB", "20m", "", "K", "NY", 4, 14, 32, 0, ""},
             {"K1AB", "30m", "RTTY", "K", "", 0, 0, 0, 0, ""},
             {"K1AB", "20m", "RTTY", "K", "NY", 4, 14, 33, 0, ""},
         },
         {
             {"K1AB", "20m", "", "K", "", 4, 14, 32, 1},
             {"K1AB", "30m", "RTTY", "K", "", 0, 0, 0, 1},
         },
         std::string(kRewrittenHeader) +
             "QSO:  14085  RTTY  2020-01-04 1433  W1AW  599    K1AB  599  NY   NO RX NUMBER !!!\r\n"},
    };
}

// CheckCall0 against a small log; host version from a host INI holding "Tolv=<hostVersion>" (nullptr:
// no host INI at all).
struct CheckRow {
    const char* call;
    const char* mode;
    const char* prefix;
    const char* band;   // argument 25; nullptr passes a null pointer
    const char* band2;  // argument 26; nullptr passes a null pointer
    int expected;
};

struct CheckScenario {
    const char* name;
    const char* hostVersion;
    std::vector<QsoRow> log;
    std::vector<CheckRow> checks;
};

inline std::vector<CheckScenario> CheckScenarios() {
    const std::vector<QsoRow> log = {
        {"K1AB", "20m", "RTTY", "K", "NY", 4, 14, 1, 1},       // known state
        {"W2XX", "40m", "RTTY", "K", "XX", 4, 14, 2, 1},       // state not accepted: none known
        {"DL1ABC", "15m", "BPSK31", "DL", "001", 4, 14, 3, 1},
        {"VE3AA", "10m", "RTTY", "VE", "ON", 4, 14, 4, 1},
    };
    return {
        {"EmptyLogAnswersNew",
         "2.21",
         {},
         {
             {"K1AB", "RTTY", "K", "20m", "20m", 2},
             {"VE3AA", "RTTY", "VE", "20m", nullptr, 2},
             {"DL1ABC", "RTTY", "DL", "20m", nullptr, 2},
             {"", "RTTY", "", "20m", nullptr, 2},
         }},
        {"RulesFailureCodeFollowsHostVersion",
         "2.20",
         log,
         {
             {"DL1ABC", "RTTY", "DL", "30m", nullptr, 1},
             {"DL1ABC", "CW", "DL", "20m", nullptr, 1},
             {"DL1ABC", "RTTY", "DL", "20m", "40m", 1},
             {"DL1ABC", "RTTY", "DL", nullptr, nullptr, 1},
             {"DL1ABC", "FT2", "DL", "20m", nullptr, 1},
         }},
        {"OtherHostsFailWithFour",
         "2.2",
         log,
         {
             {"DL1ABC", "RTTY", "DL", "30m", nullptr, 4},
             {"DL1ABC", "RTTY", "DL", "160m", "160m", 4},
             {"DL1ABC", "rtty", "DL", "20M", "40M", 4},
         }},
        {"NoHostIniFailsWithFour", nullptr, log, {{"DL1ABC", "RTTY", "DL", "30m", nullptr, 4}}},
        {"DupesWorkedBeforeAndNew",
         "2.19",
         log,
         {
             {"DL1ABC", "BPSK31", "DL", "15m", "15M", 0},
             {"DL1ABC", "RTTY", "DL", "15m", nullptr, 0},  // once per band, whatever the mode
             {"DL1ABC", "FT8", "DL", "15m", nullptr, 0},
             {"DL1ABC", "ft4", "DL", "20m", nullptr, 1},
             {"DL1ABC", "RTTY", "DL", "15M", nullptr, 1},  // exact comparison: not a dupe
             {"dl1abc", "BPSK31", "DL", "15m", nullptr, 1},
             {"DL2ZZ", "RTTY", "DL", "80m", nullptr, 1},
             {"F5AA", "RTTY", "F", "80m", nullptr, 2},
             {"W2XX", "RTTY", "K", "40m", nullptr, 3},  // its QSO did not count: the band is free
         }},
        {"WveStationsKnownByTheirState",
         "2.21",
         log,
         {
             {"K1AB", "RTTY", "K", "40m", nullptr, 1},
             {"VE3AA", "RTTY", "VE", "20m", nullptr, 1},
             {"W2XX", "RTTY", "K", "20m", nullptr, 3},
             {"K9ZZ", "RTTY", "K", "20m", nullptr, 3},
             {"K1AB", "RTTY", "VE", "40m", nullptr, 1},
             {"K1AB", "RTTY", "k", "40m", nullptr, 2},
         }},
    };
}

// A burst of fifty W/VE QSOs whose exchange names no state or province, one bad-QSO line each, one minute
// apart from 14:00 on: what a disk or a program holding the file has to keep up with.
inline const std::vector<QsoRow>& FiftyBadQsos() {
    static const std::vector<std::string> calls = [] {
        std::vector<std::string> c;
        for (int i = 0; i < 50; ++i) c.push_back("K" + std::to_string(i) + "AB");
        return c;
    }();
    static const std::vector<QsoRow> rows = [] {
        std::vector<QsoRow> r;
        for (int i = 0; i < 50; ++i) r.push_back({calls[i].c_str(), "20m", "RTTY", "K", "XX", 4, 14, i, 1});
        return r;
    }();
    return rows;
}

}  // namespace scenario

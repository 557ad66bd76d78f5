// AddData0 and RemoveData0: every check in its order, the bad-QSO file byte for byte, the flags on the
// records, bandsSeen, the band-change counter and the refreshes.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>

#if defined(_WIN32)
#include <windows.h>

#include "platform/win32/long_path.h"
#endif

#include "engine_test_support.h"
#include "fault_injection.h"
#include "platform/settings.h"
#include "scoring/score_model.h"

namespace {

using scenario::QsoRow;

class AddRemoveTest : public EngineTest {};

// Logged one by one by the operator, each line is in the file when AddData0 returns; rebuilt in one burst, the
// lines are there at the next call of another kind (here the report). Either way the same bytes.
TEST_F(AddRemoveTest, ScenariosLeaveTheirWholeBadQsoFile) {
    for (bool burst : {false, true}) {
        for (const scenario::Scenario& s : scenario::LoggingScenarios()) {
            SCOPED_TRACE(std::string(s.name) + (burst ? ", rebuilt" : ", logged one by one"));
            ASSERT_EQ(Reset(), 1);
            ASSERT_EQ(BadQsoFile(), scenario::kCreatedHeader);
            for (const QsoRow& row : s.added) EXPECT_EQ(burst ? Add(row) : Log(row), row.result) << row.call;
            if (burst) app_.GetResult(nullptr);
            for (const QsoRow& row : s.removed) EXPECT_EQ(Remove(row), 1) << row.call;
            EXPECT_EQ(BadQsoFile(), s.badQsoFile);
        }
    }
}

// The report's bad-QSO count is kept where QSOs are logged, rejected and removed: it equals what the file says
// (every line but the header and the dupe lines), and stays so when the file cannot be written at all.
TEST_F(AddRemoveTest, ScenariosCountTheirBadQsosWhateverBecameOfTheFile) {
    for (bool writable : {true, false}) {
        for (const scenario::Scenario& s : scenario::LoggingScenarios()) {
            SCOPED_TRACE(std::string(s.name) + (writable ? "" : ", file not writable"));
            ASSERT_EQ(Reset(), 1);
            if (!writable) {
                std::filesystem::remove(scenario::kBadQsoFile);
                std::filesystem::create_directory(scenario::kBadQsoFile);
            }
            for (const QsoRow& row : s.added) Add(row);
            for (const QsoRow& row : s.removed) Remove(row);
            int fileCount = 0;
            size_t start = s.badQsoFile.find("\r\n") + 2;  // after the header
            for (size_t end; (end = s.badQsoFile.find("\r\n", start)) != std::string::npos; start = end + 2)
                fileCount += s.badQsoFile.substr(start, end - start).find("   DUPE !!!") == std::string::npos;
            EXPECT_EQ(ComputeScoreModel(*app_.LockEngine()).totals.badQsos, fileCount);
            if (!writable) {
                EXPECT_TRUE(std::filesystem::is_directory(scenario::kBadQsoFile));
                std::filesystem::remove_all(scenario::kBadQsoFile);
            }
        }
    }
}

TEST_F(AddRemoveTest, RecordsCarryTheirFieldsAndFlags) {
    struct Expected {
        const char* call;
        const char* stateProv;
        int notCounted, badQso, dupe;
        int outsidePeriod = 0;
    };
    struct Case {
        const char* scenario;
        std::vector<Expected> records;  // after its adds and removes
    } cases[] = {
        {"RemovingAStationsFirstQsoOnABandLetsTheNextOneCount",
         // The healed 14:02 QSO counts; the 15:01 QSO is no dupe any more but its province still fails.
         {{"K1AB", "NY", 0, 0, 0}, {"K1AB", "", 1, 1, 1}, {"K1AB", "NY", 0, 0, 0}, {"W2XX", "", 1, 1, 0}}},
        {"AQsoThatCannotCountLeavesTheBandFree",
         {{"W2XX", "", 1, 1, 0}, {"W2XX", "NY", 0, 0, 0}, {"W2XX", "NY", 1, 0, 1}, {"VE3AA", "", 1, 1, 0},
          {"DL1ABC", "", 1, 0, 0, 1}, {"DL1ABC", "", 0, 0, 0}, {"DL1ABC", "", 1, 0, 1}, {"OH2XX", "", 1, 0, 0, 1},
          {"K1AB", "", 1, 1, 0, 1}}},
        {"StateProvinceAndDupes",
         {{"K1AB", "NY", 0, 0, 0}, {"VE1PE", "PEI", 0, 0, 0}, {"W2XX", "", 1, 1, 0}, {"W2XX", "", 1, 1, 0},
          {"W2XX", "NY", 0, 0, 0}, {"W2XX", "NY", 0, 0, 0}, {"DL1ABC", "", 0, 0, 0}, {"dl1abc", "", 0, 0, 0},
          {"DL1ABC", "", 1, 0, 1}, {"K1AB", "", 1, 0, 1}, {"K1AB", "", 1, 0, 1}}},
    };
    const QsoLog& log = app_.LockEngine()->qsoLog;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scenario);
        Reset();
        for (const scenario::Scenario& s : scenario::LoggingScenarios()) {
            if (std::string(s.name) != c.scenario) continue;
            for (const QsoRow& row : s.added) Add(row);
            for (const QsoRow& row : s.removed) Remove(row);
        }
        ASSERT_EQ(log.Count(), c.records.size());
        for (size_t i = 0; i < log.Count(); ++i) {
            const CInfo& r = log.At(i);
            const Expected& e = c.records[i];
            EXPECT_EQ(r.call, e.call) << i;
            EXPECT_EQ(r.stateProv, e.stateProv) << i;
            EXPECT_EQ(r.notCounted, e.notCounted) << i;
            EXPECT_EQ(r.badQso, e.badQso) << i;
            EXPECT_EQ(r.dupe, e.dupe) << i;
            EXPECT_EQ(r.outsidePeriod, e.outsidePeriod) << i;
            EXPECT_EQ(r.reserved, 0) << i;
        }
    }
    const CInfo& first = log.At(0);
    EXPECT_EQ(first.exchRcvd, " ny ");
    EXPECT_EQ(first.mode, "rtty");
    EXPECT_EQ(first.prefix, "K");
    EXPECT_EQ(first.aux, "aux");
    EXPECT_EQ(first.rstSent, "599");
    EXPECT_EQ(first.exchSent, "CT");
    EXPECT_EQ(first.freqKHz, 14085);
    EXPECT_TRUE(first.time.SameTime(scenario::Jan2020(4, 14, 1)));
    EXPECT_EQ(app_.LockEngine()->bandsSeen, (std::vector<std::string>{"40m", "20M", "20m"}));
}

TEST_F(AddRemoveTest, RejectedQsosKeepTheirBandOnlyPastTheBandCheck) {
    Reset();
    EXPECT_EQ(Add({"DL1ABC", "160m", "RTTY", "DL", "001", 4, 14, 0, 0}), 0);
    EXPECT_TRUE(app_.LockEngine()->bandsSeen.empty());
    EXPECT_EQ(Add({"DL1ABC", "20m", "CW", "DL", "001", 4, 14, 0, 0}), 0);
    EXPECT_EQ(Add({"DL1ABC", "40m", "RTTY", "DL", "", 4, 14, 0, 0}), 0);
    EXPECT_EQ(Add({"DL1ABC", "15m", "RTTY", "DL", "001", 4, 14, 0, 0, ""}), 0);
    EXPECT_EQ(app_.LockEngine()->bandsSeen, (std::vector<std::string>{"20m", "40m", "15m"}));
    EXPECT_TRUE(app_.LockEngine()->qsoLog.Empty());
}

// The period's year decides the modes: an FT8 QSO is a wrong mode in a 2023 contest (the check answers the
// rules failure too), a QSO of 2022's; where the host gives no period every mode of some year counts.
TEST_F(AddRemoveTest, TheContestsYearDecidesWhichModesCount) {
    struct Case {
        int year;  // 0: no period
        const char* mode;
        int added, checked;
    } cases[] = {
        {2023, "FT8", 0, 4}, {2023, "RTTY", 1, 2}, {2022, "FT8", 1, 2}, {2022, "BPSK31", 1, 2},
        {2023, "BPSK31", 0, 4}, {2018, "FT8", 0, 4}, {0, "FT8", 1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.year) + " " + c.mode);
        ResetArgs args;
        args.ownCall = scenario::kOwnCall;
        args.ownPrefix = "K";
        if (c.year != 0) {
            args.contestStart = COleDateTime::FromFields(c.year, 1, 7, 18);
            args.contestEnd = COleDateTime::FromFields(c.year, 1, 8, 23, 59);
        }
        ASSERT_EQ(app_.ResetStats(args), 1);
        CheckArgs check;
        check.call = "DL1ABC";
        check.mode = c.mode;
        check.prefix = "DL";
        check.band = "20m";
        check.bandGiven = true;
        EXPECT_EQ(app_.CheckCall(check), c.checked);
        EXPECT_EQ(Add({"DL1ABC", "20m", c.mode, "DL", "001", 4, 14, 0, 0}), c.added);
        app_.LockEngine()->CatchUpBadQsoFile();
        EXPECT_EQ(ReadFileBytes(app_.LockEngine()->badQsoFileName).find("WRONG MODE") != std::string::npos,
                  c.added == 0);
    }
}

TEST_F(AddRemoveTest, RefreshFollowsEveryChangeOfTheLog) {
    Reset();
    windows_->controlWindow = true;
    Add({"DL1ABC", "160m", "RTTY", "DL", "001", 4, 14, 0, 0});
    EXPECT_EQ(windows_->refreshes, 0) << "a rejected QSO changes nothing";
    Add({"DL1ABC", "20m", "RTTY", "DL", "001", 4, 14, 0, 1});
    Add({"DL1ABC", "20m", "RTTY", "DL", "001", 4, 14, 0, 1});  // a dupe is logged too
    EXPECT_EQ(windows_->refreshes, 2);
    Remove({"DL1ABC", "20m", "RTTY", "DL", "", 4, 14, 0, 1});
    Remove({"NOBODY", "20m", "RTTY", "DL", "", 4, 14, 0, 1});
    EXPECT_EQ(windows_->refreshes, 4);
    windows_->controlWindow = false;
    Add({"DL1ABC", "20m", "RTTY", "DL", "001", 4, 14, 0, 1});
    Remove({"DL1ABC", "20m", "RTTY", "DL", "", 4, 14, 0, 1});
    EXPECT_EQ(windows_->refreshes, 4);
}

TEST_F(AddRemoveTest, RemoveTakesOnlyTheFirstMatchingRecord) {
    Reset();
    Add({"K1AB", "20m", "RTTY", "K", "XX", 4, 14, 32, 1});
    Add({"DL1ABC", "20m", "RTTY", "DL", "001", 4, 14, 32, 1});
    Add({"K1AB", "20m", "RTTY", "K", "NY", 4, 14, 32, 1});  // a dupe at the same time
    Add({"K1AB", "20m", "RTTY", "K", "NY", 0, 0, 0, 1});     // no time at all
    ASSERT_EQ(app_.LockEngine()->qsoLog.Count(), 4u);

    Remove({"K1AB", "20m", "RTTY", "K", "", 4, 14, 33, 1});   // other minute: nothing
    Remove({"K1AB", "20m", "rtty", "K", "", 4, 14, 32, 1});   // other mode text: nothing
    ASSERT_EQ(app_.LockEngine()->qsoLog.Count(), 4u);
    EXPECT_FALSE(app_.LockEngine()->stateCellsResetRequested);

    Remove({"K1AB", "20m", "RTTY", "K", "", 4, 14, 32, 1});
    const QsoLog& log = app_.LockEngine()->qsoLog;
    ASSERT_EQ(log.Count(), 3u);
    EXPECT_EQ(log.At(0).call, "DL1ABC");
    EXPECT_EQ(log.At(1).dupe, 0) << "the second K1AB record is now the first on 20m";
    EXPECT_EQ(log.At(1).notCounted, 0);
    EXPECT_EQ(log.At(2).dupe, 1) << "the third is still a dupe";
    EXPECT_TRUE(app_.LockEngine()->stateCellsResetRequested) << "a W/VE QSO went: the state cells are reset";

    Remove({"K1AB", "20m", "RTTY", "K", "", 0, 0, 0, 1});  // null time equals null time
    ASSERT_EQ(log.Count(), 2u);
    EXPECT_TRUE(log.At(1).time.SameTime(scenario::Jan2020(4, 14, 32)));

    // An invalid date-time equals nothing, not even itself.
    QsoArgs invalid = ToQsoArgs({"DL1ABC", "20m", "RTTY", "DL", "001", 4, 14, 32, 1});
    invalid.time = COleDateTime(0.0, COleDateTime::invalid);
    ASSERT_EQ(app_.AddData(QsoArgs(invalid)), 1);
    app_.RemoveData(invalid);
    EXPECT_EQ(log.Count(), 3u);
}

TEST_F(AddRemoveTest, RemovingADxQsoLeavesTheStateCellsAlone) {
    Reset();
    Add({"DL1ABC", "20m", "RTTY", "DL", "001", 4, 14, 32, 1});
    Add({"K1AB", "20m", "RTTY", "k", "NY", 4, 14, 33, 1});
    Remove({"DL1ABC", "20m", "RTTY", "DL", "", 4, 14, 32, 1});
    Remove({"K1AB", "20m", "RTTY", "k", "", 4, 14, 33, 1});
    EXPECT_FALSE(app_.LockEngine()->stateCellsResetRequested);
}

TEST_F(AddRemoveTest, RemovingTheLastQsoForgetsBandsAndMultipliers) {
    Reset();
    Add({"DL1ABC", "20m", "RTTY", "DL", "001", 4, 14, 32, 1});
    Add({"K1AB", "40m", "RTTY", "K", "NY", 4, 14, 33, 1});
    app_.GetResult(nullptr);
    Remove({"DL1ABC", "20m", "RTTY", "DL", "", 4, 14, 32, 1});
    EXPECT_EQ(app_.LockEngine()->bandsSeen.size(), 2u) << "bands stay while the log holds a QSO";
    EXPECT_EQ(app_.TakeStatusSnapshot("").WorkedDxcc(), (std::vector<std::string>{"K", "DL"}))
        << "the windows show the last report";
    Remove({"K1AB", "40m", "RTTY", "K", "", 4, 14, 33, 1});
    EXPECT_TRUE(app_.LockEngine()->bandsSeen.empty());
    EXPECT_TRUE(app_.TakeStatusSnapshot("").WorkedDxcc().empty());
    EXPECT_TRUE(app_.TakeStatusSnapshot("").WorkedStateProv().empty());
    EXPECT_EQ(BadQsoFile(), scenario::kRewrittenHeader);
}

TEST_F(AddRemoveTest, RemoveRewritesAMissingOrOddFile) {
    Reset();
    std::remove(scenario::kBadQsoFile);
    Remove({"K1AB", "20m", "RTTY", "K", "", 4, 14, 32, 1});
    EXPECT_EQ(BadQsoFile(), scenario::kRewrittenHeader) << "no old line survives a file that did not open";

}

// The file holds what the plug-in logged since the reset: one that another program deleted, emptied or filled
// with lines of its own meanwhile is written anew, whole, by the next line or removal.
TEST_F(AddRemoveTest, AFileChangedByAnotherProgramIsWrittenAnewWhole) {
    const char* changes[] = {"deleted", "emptied", "replaced"};
    const std::string k1ab =
        "QSO:  14085  RTTY  2020-01-04 1401  W1AW  599  CT  K1AB  599  XX  XX  State/Province is not acceptable !!!\r\n";
    const std::string w2xx =
        "QSO:  14085  RTTY  2020-01-04 1403  W1AW  599  CT  W2XX  599  1  1  State/Province is not acceptable !!!\r\n";
    for (const char* change : changes) {
        for (bool removal : {false, true}) {
            SCOPED_TRACE(std::string(change) + (removal ? ", then a removal" : ", then a line"));
            Reset();
            Add({"K1AB", "20m", "RTTY", "K", "XX", 4, 14, 1, 1});
            if (change == changes[0]) std::remove(scenario::kBadQsoFile);
            if (change == changes[1]) WriteFileBytes(scenario::kBadQsoFile, "");
            if (change == changes[2]) WriteFileBytes(scenario::kBadQsoFile, "header\r\nQSO:\r\nlone\rCR\r\nlast");
            if (removal) {
                Remove({"NOBODY", "20m", "RTTY", "K", "", 4, 14, 1, 1});
                EXPECT_EQ(BadQsoFile(), scenario::kRewrittenHeader + k1ab);
            } else {
                Log({"W2XX", "40m", "RTTY", "K", "1", 4, 14, 3, 1});
                EXPECT_EQ(BadQsoFile(), scenario::kCreatedHeader + k1ab + w2xx);
            }
        }
    }
}

// A rewrite that cannot be completed, or a file that cannot be read, leaves the file as it was: removing one
// QSO never costs the lines of the others. The QSO itself still leaves the log.

TEST_F(AddRemoveTest, RemoveLeavesTheFileWholeWhenItCannotRewriteIt) {
    namespace fs = std::filesystem;
    // The last one may have to be skipped; the file calls fail at will on both builds.
    enum class Fault { folder, renameRefused, shortWrite, diskFull, writeFailsPartWay, unreadable };
#if defined(_WIN32)
    const Fault faults[] = {Fault::folder, Fault::renameRefused, Fault::shortWrite, Fault::diskFull};
#else
    const Fault faults[] = {Fault::folder,   Fault::renameRefused,     Fault::shortWrite,
                            Fault::diskFull, Fault::writeFailsPartWay, Fault::unreadable};
#endif
    for (Fault fault : faults) {
        SCOPED_TRACE(static_cast<int>(fault));
        Reset();
        for (int minute = 0; minute < 30; ++minute) Add({"K1AB", "20m", "RTTY", "K", "XX", 4, 14, minute, 1});
        const std::string before = BadQsoFile();
        if (fault == Fault::folder) {
            fs::remove(scenario::kBadQsoFile);
            fs::create_directory(scenario::kBadQsoFile);
        }
        std::unique_ptr<FileFaults> seam;
        if (fault == Fault::renameRefused) seam = std::make_unique<FileFaults>(FileFault::renameRefused);
        if (fault == Fault::shortWrite) seam = std::make_unique<FileFaults>(FileFault::shortWrite);
        if (fault == Fault::diskFull) seam = std::make_unique<FileFaults>(FileFault::diskFull);
#if !defined(_WIN32)
        std::unique_ptr<FileSizeLimit> limit;
        std::unique_ptr<UnprivilegedUser> user;
        if (fault == Fault::writeFailsPartWay) limit = std::make_unique<FileSizeLimit>(before.size() / 3);
        if (fault == Fault::unreadable) {
            // Writable by everyone, readable by no one, in a folder everyone may write to.
            fs::permissions(".", fs::perms::all);
            fs::permissions(scenario::kBadQsoFile,
                            fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write);
            user = std::make_unique<UnprivilegedUser>();
            SKIP_UNLESS_UNPRIVILEGED(*user);
        }
#endif
        EXPECT_EQ(Remove({"K1AB", "20m", "RTTY", "K", "", 4, 14, 0, 1}), 1);
        seam.reset();
#if !defined(_WIN32)
        limit.reset();
        user.reset();
#endif
        EXPECT_EQ(app_.LockEngine()->qsoLog.Count(), 29u);
        if (fault != Fault::folder) {
            fs::permissions(scenario::kBadQsoFile, fs::perms::owner_read | fs::perms::owner_write);
            EXPECT_EQ(BadQsoFile(), before);
        }
        fs::remove_all(scenario::kBadQsoFile);
    }
}

// The bad-QSO file while it cannot be written: 35 of 50 bad QSOs are logged, then the file fails; the other 15
// come, one QSO logged before and one logged during the fault are removed, and then the host rebuilds its log
// without a QSO it deleted. Meanwhile the report counts right and says the file is behind, and the file never
// holds part of a line. At the first call after the fault the file is what it is without any fault.
TEST_F(AddRemoveTest, TheBadQsoFileCatchesUpWithEverythingAtTheFirstCallItCanBeWritten) {
    const std::vector<QsoRow>& qsos = scenario::FiftyBadQsos();
    const CheckArgs check = [] {
        CheckArgs c;
        c.call = "DL1ABC";
        c.mode = "RTTY";
        c.band = "20m";
        c.bandGiven = true;
        return c;
    }();
    auto report = [&] { return std::string(app_.GetResult(nullptr)); };
    // Every line whole: the header or one QSO's line with its message, each with its line end.
    auto wholeLines = [](const std::string& file) {
        if (!file.empty() && file.compare(file.size() - 2, 2, "\r\n") != 0) return false;
        for (size_t start = 0, end; (end = file.find("\r\n", start)) != std::string::npos; start = end + 2) {
            const std::string line = file.substr(start, end - start);
            const bool header = line.rfind(scenario::kCreatedHeader, 0) == 0 || start == 0;
            const bool qso = line.rfind("QSO:  ", 0) == 0 && line.find("QSO:", 1) == std::string::npos &&
                             line.size() > 4 && line.compare(line.size() - 4, 4, " !!!") == 0;
            if (!header && !qso) return false;
        }
        return true;
    };
    struct Run {
        std::string logged, rebuilt;        // the file after each part, at the first call after the fault
        std::string during, after, rebuilding;  // the reports during and after the fault, and in the rebuild
    };
    // begin() makes the file fail, end() lets it be written again.
    auto run = [&](const std::function<void()>& begin, const std::function<void()>& end) {
        Run r;
        Reset();
        for (size_t i = 0; i < 35; ++i) Log(qsos[i]);
        begin();
        for (size_t i = 35; i < qsos.size(); ++i) Log(qsos[i]);
        Remove(qsos[9]);
        Remove(qsos[39]);
        r.during = report();
        end();
        app_.CheckCall(check);
        r.logged = BadQsoFile();
        r.after = report();
        begin();
        Reset();
        for (size_t i = 0; i < qsos.size(); ++i)
            if (i != 4) Add(qsos[i]);
        r.rebuilding = report();
        end();
        app_.CheckCall(check);
        r.rebuilt = BadQsoFile();
        return r;
    };
    const Run clean = run([] {}, [] {});
    ASSERT_EQ(std::count(clean.logged.begin(), clean.logged.end(), '\n'), 49);
    ASSERT_EQ(std::count(clean.rebuilt.begin(), clean.rebuilt.end(), '\n'), 50);
    ASSERT_EQ(clean.after.find("Bad QSO file"), std::string::npos);

    struct Fault {
        std::string name;
        std::function<void()> begin, end;
        bool inPlace = false;  // the file can still be written in place: only whole rewrites fail
    };
    std::vector<Fault> faults;
    std::unique_ptr<FileFaults> seam;
    for (FileFault f : kFileFaults) {
        faults.push_back({FileFaultName(f), [&seam, f] { seam = std::make_unique<FileFaults>(f); },
                          [&seam] { seam.reset(); }, f == FileFault::renameRefused});
    }
#if defined(_WIN32)
    // Held by another program for real: opened for reading and writing, shared with no one.
    HANDLE held = INVALID_HANDLE_VALUE;
    faults.push_back({"held open without sharing",
                      [&held] {
                          held = CreateFileA(scenario::kBadQsoFile, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
                          ASSERT_NE(held, INVALID_HANDLE_VALUE);
                      },
                      [&held] { CloseHandle(held); }});
#else
    // The system refuses to let the file grow past its size plus part of a line, as a full disk does.
    std::unique_ptr<FileSizeLimit> limit;
    faults.push_back({"no room past part of a line",
                      [&limit, this] {
                          limit = std::make_unique<FileSizeLimit>(BadQsoFile().size() + 40);
                      },
                      [&limit] { limit.reset(); }});
#endif
    for (const Fault& f : faults) {
        SCOPED_TRACE(f.name);
        const Run faulty = run(
            [&] {
                f.begin();
                EXPECT_TRUE(wholeLines(BadQsoFile()));
            },
            [&] {
                EXPECT_TRUE(wholeLines(BadQsoFile()));
                f.end();
            });
        EXPECT_EQ(faulty.logged, clean.logged);
        EXPECT_EQ(faulty.rebuilt, clean.rebuilt);
        EXPECT_NE(faulty.during.find("Bad QSO\t 48\r\nBad QSO file\t not up to date\r\n"), std::string::npos)
            << faulty.during;
        // A rebuild writes its file in place, from the header on.
        EXPECT_EQ(faulty.rebuilding.find("Bad QSO\t 49\r\nBad QSO file\t not up to date\r\n") != std::string::npos,
                  !f.inPlace)
            << faulty.rebuilding;
        EXPECT_EQ(faulty.after, clean.after);
    }
}

TEST_F(AddRemoveTest, NothingIsWrittenBeforeTheFirstReset) {
    EXPECT_EQ(Add({"DL1ABC", "160m", "RTTY", "DL", "001", 4, 14, 0, 0}), 0);
    EXPECT_EQ(Add({"DL1ABC", "20m", "RTTY", "DL", "001", 4, 14, 0, 1}), 1);
    EXPECT_EQ(Add({"DL1ABC", "20m", "RTTY", "DL", "001", 4, 14, 0, 1}), 1);
    EXPECT_EQ(Remove({"DL1ABC", "20m", "RTTY", "DL", "", 4, 14, 0, 1}), 1);
    EXPECT_EQ(app_.LockEngine()->qsoLog.Count(), 1u) << "the QSOs are logged even though their lines are lost";
    EXPECT_FALSE(FileExists(scenario::kBadQsoFile));
    EXPECT_FALSE(FileExists("BadQSO_DezuvEZIR_.txt"));
}

// The counter of the change-of-band window: consecutive band changes within the clock hour.
TEST_F(AddRemoveTest, BandChangeCounterFollowsTheClockHour) {
    Reset();
    app_.SetBandChangeWindowOpen(true);
    struct Step {
        QsoRow qso;
        int utcHour;
        int count;
    } steps[] = {
        {{"A1", "40m", "RTTY", "DL", "001", 4, 14, 1, 1}, 14, 0},   // first QSO of the log
        {{"A2", "20m", "RTTY", "DL", "001", 4, 14, 5, 1}, 14, 1},   // change within the hour
        {{"A3", "20m", "RTTY", "DL", "001", 4, 14, 6, 1}, 14, 1},   // same band
        {{"A4", "20M", "RTTY", "DL", "001", 4, 14, 7, 1}, 14, 2},   // band texts compare exactly
        {{"A5", "40m", "RTTY", "K", "XX", 4, 14, 8, 1}, 14, 3},     // a bad state still counts
        {{"A5", "40m", "RTTY", "K", "XX", 4, 14, 9, 1}, 14, 3},     // so does a dupe
        {{"A6", "15m", "CW", "DL", "001", 4, 14, 10, 0}, 14, 3},    // rejected: not counted
        {{"A7", "15m", "RTTY", "DL", "", 4, 14, 11, 0}, 14, 3},     // rejected: not counted
        {{"A8", "10m", "RTTY", "DL", "001", 4, 15, 0, 1}, 14, 0},   // new hour of the log
        {{"A9", "15m", "RTTY", "DL", "001", 4, 15, 1, 1}, 15, 1},
        {{"B1", "10m", "RTTY", "DL", "001", 4, 15, 2, 1}, 16, 0},   // logged outside the current hour
        {{"B2", "15m", "RTTY", "DL", "001", 4, 15, 3, 1}, 15, 1},   // counts on from the record before
        {{"B3", "10m", "RTTY", "DL", "001", 5, 15, 4, 1}, 15, 2},   // the hour of day, not of the contest
        {{"B4", "20m", "RTTY", "DL", "001", 0, 0, 0, 1}, 0, 0},     // no time
        {{"B5", "40m", "RTTY", "DL", "001", 5, 0, 0, 1}, 0, 0},     // after a QSO without time
    };
    for (const Step& s : steps) {
        clock_.utcHour = s.utcHour;
        EXPECT_EQ(Add(s.qso), s.qso.result) << s.qso.call;
        EXPECT_EQ(app_.BandChangeCount(), s.count) << s.qso.call;
    }

    // Closed window: the counter is left alone; reopening starts it from 0.
    clock_.utcHour = 16;
    Add({"C1", "10m", "RTTY", "DL", "001", 5, 16, 0, 1});
    Add({"C2", "15m", "RTTY", "DL", "001", 5, 16, 1, 1});
    EXPECT_EQ(app_.BandChangeCount(), 1);
    app_.SetBandChangeWindowOpen(false);
    Add({"C3", "10m", "RTTY", "DL", "001", 5, 16, 2, 1});
    EXPECT_EQ(app_.BandChangeCount(), 1);
    app_.SetBandChangeWindowOpen(true);
    EXPECT_EQ(app_.BandChangeCount(), 0);
    Add({"C4", "20m", "RTTY", "DL", "001", 5, 16, 3, 1});
    EXPECT_EQ(app_.BandChangeCount(), 1);
}

}  // namespace

namespace {

// A host installed 250 characters deep, on a local disk and (under wine) on a network share: the settings
// file's path passes the system's limit (MAX_PATH), yet the settings are written where the next session reads
// them, and the bad-QSO file and its count are right.
TEST_F(AddRemoveTest, ADeepHostFolderKeepsItsSettingsAndCountsRight) {
    namespace fs = std::filesystem;
    const fs::path top = fs::current_path();
    std::vector<fs::path> roots = {top};
#if defined(_WIN32)
    // Wine serves the share \\SERVER\SHARE from the folder dosdevices/unc/SERVER/SHARE of its prefix. It has no
    // short names on a share, so there the settings file cannot be reached: only the bad-QSO file is checked.
    fs::path share;
    if (const char* prefix = std::getenv("WINEPREFIX")) {
        share = fs::path(std::string("Z:") + prefix) / "dosdevices" / "unc" / "statstest" / "share";
        fs::create_directories(share / top.filename());
        roots.push_back(fs::path("\\\\statstest\\share") / top.filename());
    }
#endif
    for (const fs::path& root : roots) {
        SCOPED_TRACE(root.string());
        fs::path deep = root;
        while (deep.string().size() < 250)
            deep /= std::string(std::min<size_t>(40, 250 - deep.string().size() - 1), 'd');
        ASSERT_EQ(deep.string().size(), 250u);
        fs::create_directories(deep / "Plugins");
        fs::current_path(deep);
        if (root == top) {
            EXPECT_TRUE(Settings::WriteString("setup_x", "123"));
            EXPECT_TRUE(Settings::WriteString("Claimed", "77"));
            // What the next session finds: the file on disk under its long name.
            EXPECT_EQ(ReadFileBytes("Plugins/ARRL-RTTY.ini"), "[Settings]\r\nsetup_x=123\r\nClaimed=77\r\n");
            EXPECT_EQ(Settings::GetString("setup_x", 100), "123");
        }

        ASSERT_EQ(Reset(), 1);
        Add({"K1AB", "20m", "RTTY", "K", "XX", 4, 14, 1, 1});
        Add({"DL1ABC", "20m", "CW", "DL", "001", 4, 14, 2, 0});
        app_.LockEngine()->CatchUpBadQsoFile();  // as the host's next call does at the end of a burst
        EXPECT_EQ(ComputeScoreModel(*app_.LockEngine()).totals.badQsos, 2);
        EXPECT_EQ(BadQsoFile(),
                  std::string(scenario::kCreatedHeader) +
                      "QSO:  14085  RTTY  2020-01-04 1401  W1AW  599  CT  K1AB  599  XX  XX  State/Province is not "
                      "acceptable !!!\r\n"
                      "QSO:  14085  CW  2020-01-04 1402  W1AW  599  CT  DL1ABC  599  001   WRONG MODE !!!\r\n");
        fs::current_path(top);
    }
#if defined(_WIN32)
    if (roots.size() > 1) fs::remove_all(roots.back());
#endif
}

#if defined(_WIN32)
// The long form of a path on a drive and on a share, and back: "\\?\" before "\\server" names no share.
TEST(LongPath, FormsOfADriveAndAShare) {
    struct Case {
        const wchar_t* full;
        const wchar_t* longForm;
    } const cases[] = {
        {L"C:\\Tolv\\x.ini", L"\\\\?\\C:\\Tolv\\x.ini"},
        {L"\\\\server\\share\\Tolv\\x.ini", L"\\\\?\\UNC\\server\\share\\Tolv\\x.ini"},
        {L"\\\\?\\C:\\Tolv", L"\\\\?\\C:\\Tolv"},
        {L"\\\\?\\UNC\\server\\share", L"\\\\?\\UNC\\server\\share"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::LongForm(c.full), c.longForm);
        if (c.full[2] != L'?') {
            EXPECT_EQ(platform::WithoutLongForm(c.longForm), c.full);
        }
    }
}
#endif

}  // namespace

#pragma once
// The contest engine's state and its operations on it. Not thread-safe by itself: its owner holds the
// engine's mutex around every call, and the window thread reads it only through a snapshot taken under
// that mutex. An engine guarded by a mutex asserts in debug builds, at each operation and each read of
// its state from outside, that the calling thread holds it.
#include <atomic>
#include <cassert>
#include <string>
#include <vector>

#include "contest/record.h"
#include "engine/args.h"
#include "engine/bad_qso_file.h"
#include "engine/engine_mutex.h"
#include "engine/qso_log.h"

// The contest period the host gives at a reset, in whole minutes: a QSO counts from the start up to the end,
// the end's own minute not included, but for an end in the last minute of an hour (23:59), which stands for the
// end of that minute. A period the host does not give (a null or invalid date, an end not after the start, or
// more than a week) is no period: every QSO counts as to its time, as does a QSO without a valid time.
struct ContestPeriod {
    bool known = false;
    long long start = 0, end = 0;
    int year = 0;  // the contest's year, by its start; 0 when the period is not known

    static ContestPeriod Of(const COleDateTime& start, const COleDateTime& end);
    bool Holds(const COleDateTime& time) const;
};

class Engine {
public:
    explicit Engine(const contest::Record& record) : contest(record) {}

    // --- operations: the caller holds the engine's mutex; none of them touches a window -------------------
    // CheckCall0 without its refresh hook: 0 dupe, 1 worked before or rules failure on old hosts,
    // 2 new, 3 W/VE station not known yet, 4 rules failure.
    int CheckCall(const CheckArgs& args) const;
    // AddData0: 1 when the QSO went into the log, 0 when it was rejected.
    int AddData(QsoArgs&& args);
    // RemoveData0: removes the first matching QSO and its bad-QSO lines.
    void RemoveData(const QsoArgs& args);
    // The part of ResetStats0 before the Cabrillo header: host version, dates, own call, empty log, rows.
    void Reset(const ResetArgs& args);
    // The last step of ResetStats0: a fresh bad-QSO file with its header.
    void CreateBadQsoFile();
    // At every call of the host but AddData0: a burst of logging has ended, and the bad-QSO lines it kept
    // are written; a file that could not be written is written whole when it can be.
    void CatchUpBadQsoFile() {
        AssertLocked();
        loggingBurst = false;
        badQsoFile.CatchUp();
    }

    // From now on every operation asserts (debug builds) that the calling thread holds this mutex.
    void GuardWith(const EngineMutex& mutex) { guard_ = &mutex; }
    void AssertLocked() const { assert(guard_ == nullptr || guard_->HeldByThisThread()); }

    // The contest the engine keeps the statistics of, for its whole life.
    const contest::Record& contest;

    // --- state: every field is guarded by the engine's mutex (taken through CTestApp::LockEngine), written on
    // the host's thread and read by the window thread only in a snapshot; refreshPending alone is atomic. ---
    QsoLog qsoLog;
    std::vector<std::string> bandsSeen;  // distinct bands in order of first QSO

    std::string hostVersion;  // from the host's INI at each reset; empty until the first
    int htmlReportEnabled = 0;
    int cabrilloRequested = 0;
    int russianTexts = 0;  // set once a reset saw a Russian own prefix; never cleared
    std::string ownCall;
    std::string ownPrefix;  // the own station's DXCC prefix, for the points of a QSO
    std::string contestStartDayMonth;  // "%d.%m"
    std::string contestStartYear;      // "%Y"
    std::string contestEnd;            // "%d.%m.%Y"
    ContestPeriod period;
    std::string badQsoFileName;
    // The entry's Cabrillo CATEGORY-OPERATOR and CATEGORY-TRANSMITTER as the operator last confirmed them,
    // set by the reset after its header dialog; "" where none is given.
    std::string categoryOperator, categoryTransmitter;
    // The bad-QSO file's lines since the reset, kept here as well: the report counts the bad QSOs from them
    // whatever became of the file (a read-only folder, a file another program holds, a full disk), and says
    // when the file is behind them.
    badqso::File badQsoFile;
    // The last call was AddData0: the lines of the next one wait for the end of the burst (a rebuild logs
    // thousands of QSOs in a row), and are written at the next call of another kind.
    bool loggingBurst = false;

    // The band-change count is kept only while the change-of-band window exists; it starts from 0 when
    // that window opens.
    bool bandChangeWindowOpen = false;
    int bandChangeCount = 0;

    // Removing a W/VE QSO asks the window thread to reset the State/Province cells on the next refresh.
    bool stateCellsResetRequested = false;

    // Atomic, not guarded: set to 1 by the window thread at the end of every refresh (the control window is
    // ready for the next request). The call check no longer waits for it: its requests are merged with the
    // others by the window thread, which never drops the last.
    std::atomic<int> refreshPending{1};

private:
    void CountBandChange(const CInfo& qso);

    const EngineMutex* guard_ = nullptr;
};

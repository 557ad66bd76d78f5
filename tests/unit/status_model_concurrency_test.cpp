// The host's thread logs QSOs and asks for the report while the window thread refreshes: every snapshot must be
// one consistent state of the engine and of the last report, and each State/Province reset request must reach
// exactly one refresh. Built with
// the native-tsan preset, ThreadSanitizer checks that no access to the engine escapes the mutex.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "contest/arrl_rtty_roundup.h"
#include "app/plugin_object.h"
#include "scoring/score_model.h"
#include "ui/refresh_requests.h"
#include "ui/status_model.h"
#include "temp_dir.h"
#include "ui/status_snapshot.h"

namespace {

class SteadyHost : public HostLink {
public:
    bool Connected() const override { return true; }
    double ReadFrequency() override { return 14070000.0 + (++reads_ % 2) * 1000.0; }
    std::string ReadCurrentCall(int) override { return "W1AW"; }
    void SendMacro(const std::string&) override { ++macros; }
    int macros = 0;

private:
    int reads_ = 0;
};

const char* const kBands[] = {"80m", "40m", "20m", "15m", "10m"};
const char* const kStates[] = {"CT", "MA", "PE", "ON", "NL", "TX"};

TEST(StatusModelConcurrency, RefreshesWhileTheHostLogsSeeWholeListsOnly) {
    TempWorkDir dir;
    CTestApp app{contest::ArrlRttyRoundup()};
    {
        auto lock = app.LockEngine();
        lock->bandsSeen.assign(std::begin(kBands), std::end(kBands));
        lock->contestStartYear = "2024";
    }
    constexpr int kQsos = 2000;
    std::atomic<bool> done{false};
    std::atomic<bool> refreshing{false};  // the logging starts once the window thread is refreshing
    int resetRequests = 0;  // written by the logging thread under the mutex, read after the join

    // The host's thread: each QSO of W1AW brings one new worked prefix, and a report follows each QSO, so a
    // snapshot taken in one piece holds as many QSOs of W1AW as the last report has prefixes, or one more.
    std::thread host([&] {
        while (!refreshing.load()) std::this_thread::yield();
        for (int i = 0; i < kQsos; ++i) {
            {
                auto lock = app.LockEngine();
                Engine& e = *lock;
                CInfo q;
                q.call = i % 4 == 0 ? "W1AW" : "K" + std::to_string(i);
                // W1AW's rows show the serial; the others send a state of K or a province of VE.
                const bool canadian = i % 6 >= 2 && i % 6 <= 4;
                q.prefix = q.call == "W1AW" ? "P" + std::to_string(i) : canadian ? "VE" : "K";
                q.band = kBands[i % 5];
                q.mode = "RTTY";
                q.exchRcvd = std::to_string(i);
                if (q.call != "W1AW") q.stateProv = kStates[i % 6];
                q.time = COleDateTime::FromFields(2024, 1, 6, (i / 60) % 24, i % 60, 0);
                e.qsoLog.Append(q);
                if (i % 50 == 0 && !e.stateCellsResetRequested) {
                    e.stateCellsResetRequested = true;
                    ++resetRequests;
                }
            }
            app.GetResult(nullptr);
            app.RefreshPending().exchange(0);  // as the call check does
            if (i % 64 == 0) std::this_thread::yield();
        }
        done = true;
    });

    // The window thread.
    SteadyHost link;
    StatusModelState state;
    StateCellMarks marks;
    int refreshes = 0;
    int torn = 0;
    int resetsSeen = 0;
    auto source = [&](const std::string& call) {
        StatusSnapshot s = app.TakeStatusSnapshot(call);
        size_t reported = 0;  // W1AW's prefixes in the last report
        for (const std::string& p : s.WorkedDxcc()) reported += p[0] == 'P';
        if (s.callRecords.size() != reported && s.callRecords.size() != reported + 1) ++torn;
        if (s.stateCellsResetRequested) ++resetsSeen;
        return s;
    };
    while (!done.load() || refreshes < 10) {
        StatusRefresh r = RefreshStatus(state, link, StatusViewFields{1, 1, 1, 1},
                                        OpenStatusWindows{true, true, true, true}, &marks, source,
                                        app.RefreshPending());
        marks = r.stateMarks;
        ++refreshes;
        refreshing = true;
    }
    host.join();

    // One last refresh after the host's thread is done sees everything.
    StatusRefresh last = RefreshStatus(state, link, StatusViewFields{1, 1, 1, 1},
                                       OpenStatusWindows{true, true, true, true}, &marks, source,
                                       app.RefreshPending());
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(resetsSeen, resetRequests);
    EXPECT_EQ(last.workedCount, kQsos / 4 + 2);  // and K and VE
    EXPECT_EQ(app.RefreshPending().load(), 1);
    // W1AW's last QSOs: number 1996 on 40 m (row 2) and 1992 on 20 m (row 3).
    EXPECT_EQ(state.bandRows[2][3], "1996");
    EXPECT_EQ(state.bandRows[3][3], "1992");
    EXPECT_EQ(last.stateMarks.MarkedCount(), 6u);  // CT MA PE ON NL TX
}

// The engine kept past its lock: a debug build stops at the first operation; a release build has no check.
TEST(EngineLock, AnOperationWithoutTheLockStopsADebugBuild) {
    CTestApp app{contest::ArrlRttyRoundup()};
    Engine& engine = *app.LockEngine();  // the lock goes at the end of this line
    EXPECT_DEBUG_DEATH(engine.CatchUpBadQsoFile(), "HeldByThisThread");
    EXPECT_DEBUG_DEATH(ComputeScoreModel(engine), "HeldByThisThread");
}

// Requests (r), refreshes starting (s) and ending (f), in one thread's order: which requests must post the
// message and which refresh ends with one more due.
TEST(StatusModelConcurrency, RefreshRequestsMergeWhileOneIsOutstanding) {
    struct Case {
        const char* steps;
        const char* answers;  // per step: P post, - nothing to post, D one more due, . done
    } const cases[] = {
        {"rsf", "P-."},        {"rsrf", "P--D"},       {"rrrsf", "P---."},
        {"rsrfsf", "P--D-."},  {"rsrfrsf", "P--D--."}, {"rsfr", "P-.P"},
        {"srf", "--D"},  // a refresh of the window's own (a click) finds a change during it
    };
    for (const Case& c : cases) {
        RefreshRequests requests;
        std::string answers;
        for (const char* step = c.steps; *step; ++step) {
            if (*step == 'r') answers += requests.Request() ? 'P' : '-';
            if (*step == 's') {
                requests.Starting();
                answers += '-';
            }
            if (*step == 'f') answers += requests.Finished() ? 'D' : '.';
        }
        EXPECT_EQ(answers, c.answers) << c.steps;
    }
}

// The host's thread changes a counter and requests; the window thread refreshes on each post and on each
// follow-up. However the threads interleave, the last refresh sees the last change, and the host's thread
// posts at most once per refresh.
TEST(StatusModelConcurrency, RefreshRequestsNeverLoseTheLastChange) {
    constexpr int kChanges = 20000;
    RefreshRequests requests;
    std::atomic<int> changes{0};
    std::atomic<int> posts{0};
    std::atomic<bool> hostDone{false};
    std::thread host([&] {
        for (int i = 0; i < kChanges; ++i) {
            changes.fetch_add(1);
            if (requests.Request()) posts.fetch_add(1);
        }
        hostDone = true;
    });
    int handledPosts = 0;
    int refreshes = 0;
    int seen = 0;
    bool due = false;
    for (;;) {
        const bool posted = posts.load() > handledPosts;
        if (!posted && !due) {
            if (hostDone.load() && posts.load() == handledPosts) break;
            std::this_thread::yield();
            continue;
        }
        if (posted) ++handledPosts;
        requests.Starting();
        seen = changes.load();
        ++refreshes;
        due = requests.Finished();
    }
    host.join();
    EXPECT_EQ(seen, kChanges);
    EXPECT_LE(posts.load(), refreshes);
}

}  // namespace

#pragma once
// The refresh requests of the host's thread, merged. While a refresh is posted or running, a change only
// notes that one more is due; the window thread runs that one when the current refresh has ended, after a
// short pause. So a rebuild of thousands of QSOs costs the host's thread one posted message and the window
// thread a refresh now and then, however quickly a refresh ends and however the two threads are scheduled;
// and the last change of a burst is always followed by a refresh that starts after it.
#include <atomic>

class RefreshRequests {
public:
    // Host's thread, after a change: true when the caller must post the refresh message (none was
    // outstanding); false when the outstanding one, or the one after it, will show the change.
    bool Request() {
        int s = state_.load();
        for (;;) {
            if (s == kIdle) {
                if (state_.compare_exchange_weak(s, kOutstanding)) return true;
            } else if (s == kOutstandingChanged || state_.compare_exchange_weak(s, kOutstandingChanged)) {
                return false;
            }
        }
    }
    // The message could not be posted, or the window is gone: nothing is outstanding.
    void Clear() { state_.store(kIdle); }

    // Window thread, before a refresh reads the engine: changes from now on come after what it shows.
    void Starting() { state_.store(kOutstanding); }
    // Window thread, when the refresh has ended: true when a change came in meanwhile, and one more refresh
    // is due (it stays outstanding, so the host's thread posts nothing until that one has run).
    bool Finished() {
        int s = kOutstanding;
        if (state_.compare_exchange_strong(s, kIdle)) return false;
        state_.store(kOutstanding);
        return true;
    }

private:
    static constexpr int kIdle = 0;
    static constexpr int kOutstanding = 1;
    static constexpr int kOutstandingChanged = 2;
    std::atomic<int> state_{kIdle};
};

#include "platform/clock.h"

#include <atomic>

namespace {
std::atomic<Clock*> testClock{nullptr};
}

Clock& CurrentClock() {
    Clock* c = testClock.load();
    return c ? *c : SystemClock();
}

void SetClockForTesting(Clock* clock) { testClock.store(clock); }

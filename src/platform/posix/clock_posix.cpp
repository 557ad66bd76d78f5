#include <ctime>

#include "platform/clock.h"

namespace {

class PosixClock : public Clock {
public:
    ClockTime UtcTime() override {
        std::time_t now = std::time(nullptr);
        std::tm tm {};
        ClockTime t;
        if (gmtime_r(&now, &tm)) {
            t.valid = true;
            t.hour = tm.tm_hour;
            t.minute = tm.tm_min;
            t.second = tm.tm_sec;
        }
        return t;
    }
};

}  // namespace

Clock& SystemClock() {
    static PosixClock clock;
    return clock;
}

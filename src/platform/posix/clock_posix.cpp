#include <ctime>

#include "platform/clock.h"

namespace {

class PosixClock : public Clock {
public:
    int UtcHour() override {
        std::time_t now = std::time(nullptr);
        std::tm tm {};
        return gmtime_r(&now, &tm) ? tm.tm_hour : -1;
    }
    LocalClockTime LocalTime() override {
        std::time_t now = std::time(nullptr);
        std::tm tm {};
        LocalClockTime t;
        if (localtime_r(&now, &tm)) {
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

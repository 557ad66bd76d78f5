#include <windows.h>

#include "platform/clock.h"

namespace {

class Win32Clock : public Clock {
public:
    ClockTime UtcTime() override {
        SYSTEMTIME st;
        GetSystemTime(&st);
        ClockTime t;
        t.valid = true;
        t.hour = st.wHour;
        t.minute = st.wMinute;
        t.second = st.wSecond;
        return t;
    }
};

}  // namespace

Clock& SystemClock() {
    static Win32Clock clock;
    return clock;
}

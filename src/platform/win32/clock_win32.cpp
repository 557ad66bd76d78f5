#include <windows.h>

#include "platform/clock.h"

namespace {

class Win32Clock : public Clock {
public:
    int UtcHour() override {
        SYSTEMTIME st;
        GetSystemTime(&st);
        return st.wHour;
    }
    LocalClockTime LocalTime() override {
        SYSTEMTIME st;
        GetLocalTime(&st);
        LocalClockTime t;
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

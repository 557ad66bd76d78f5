#pragma once
// The system clock behind a seam, so tests can set the time. Only UTC is read: the contest's hour is the UTC
// clock hour, and in a zone not on the hour (India +5:30, Newfoundland -3:30) the local hour is another one.

struct ClockTime {
    bool valid = false;
    int hour = 0, minute = 0, second = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual ClockTime UtcTime() = 0;
    // The UTC hour, -1 when the clock cannot be read.
    int UtcHour() {
        const ClockTime t = UtcTime();
        return t.valid ? t.hour : -1;
    }
};

// The clock in use: the system clock unless a test installed another (nullptr restores the system clock).
Clock& CurrentClock();
void SetClockForTesting(Clock* clock);
Clock& SystemClock();  // one per operating-system side

#pragma once
// The system clock behind a seam, so tests can set the UTC hour and the local time.

struct LocalClockTime {
    bool valid = false;
    int hour = 0, minute = 0, second = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual int UtcHour() = 0;
    virtual LocalClockTime LocalTime() = 0;
};

// The clock in use: the system clock unless a test installed another (nullptr restores the system clock).
Clock& CurrentClock();
void SetClockForTesting(Clock* clock);
Clock& SystemClock();  // one per operating-system side

#pragma once
// The date-time value the host passes by pointer: a day count since 30 December 1899 (the fraction is the
// time of day) and a status word. The layout is the host's, so it must stay 16 bytes with the status at 8.
#include <cstddef>
#include <cstdint>
#include <string>

struct DateTimeFields {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    int dayOfWeek = 0;  // 0 Sunday .. 6 Saturday
    int dayOfYear = 0;  // 1 .. 366
};

struct COleDateTime {
    enum Status : int32_t { valid = 0, invalid = 1, null = 2 };

    double m_dt = 0.0;
    int32_t m_status = valid;

    COleDateTime() = default;
    COleDateTime(double dt, int32_t status) : m_dt(dt), m_status(status) {}

    static COleDateTime Null() { return COleDateTime(0.0, null); }
    // Builds a valid value from calendar fields; invalid when a field is out of range.
    static COleDateTime FromFields(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

    bool IsValid() const { return m_status == valid; }
    bool IsNull() const { return m_status == null; }

    // Calendar fields, rounded to the nearest second first; false when not valid or out of range.
    bool GetFields(DateTimeFields& out) const;
    // Valid and within the dates GetFields can split (years 100 to 9999), without splitting.
    bool HasDate() const;
    // Hour of day 0..23, or -1 when the value is not a valid date-time.
    int GetHour() const;

    // strftime-style formatting (%Y %y %m %d %H %M %S %j %a %A %b %B %p %%); empty when not valid.
    std::string Format(const char* format) const;

    // Same QSO time: both valid with the same day count, or both null. Invalid equals nothing.
    bool SameTime(const COleDateTime& other) const;
};

static_assert(sizeof(COleDateTime) == 16, "COleDateTime must keep the host's layout");
static_assert(offsetof(COleDateTime, m_status) == 8, "status word at offset 8");
static_assert(alignof(COleDateTime) == 8, "8-byte alignment as the host has it");

#include "common/ole_date_time.h"

#include <cmath>
#include <cstdio>

namespace {

// The range the host's date-time type accepts: 1 January 100 to 31 December 9999.
constexpr double kMinDate = -657434.0;
constexpr double kMaxDate = 2958465.999999;
// Days from 1 March of year 0 (proleptic Gregorian) to 30 December 1899.
constexpr long kEpochShift = 693899L;

const char* const kDayNames[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
const char* const kMonthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

// Civil date from a day number counted from 1 March of year 0.
void CivilFromDays(long z, int& y, int& m, int& d) {
    long era = (z >= 0 ? z : z - 146096) / 146097;
    long doe = z - era * 146097;
    long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    long mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
}

long DaysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    long era = (y >= 0 ? y : y - 399) / 400;
    long yoe = y - era * 400;
    long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe;
}

void Append2(std::string& s, int v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", v);
    s += buf;
}

}  // namespace

COleDateTime COleDateTime::FromFields(int year, int month, int day, int hour, int minute, int second) {
    static const int kMonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 || hour < 0 || hour > 23 ||
        minute < 0 || minute > 59 || second < 0 || second > 59) {
        return COleDateTime(0.0, invalid);
    }
    int monthDays = kMonthDays[month - 1] + (month == 2 && IsLeap(year) ? 1 : 0);
    if (day > monthDays) return COleDateTime(0.0, invalid);
    long days = DaysFromCivil(year, month, day) - DaysFromCivil(1899, 12, 30);
    double time = (hour * 3600 + minute * 60 + second) / 86400.0;
    // Before the epoch the fraction still counts forward as the time of day.
    double dt = days >= 0 ? days + time : days - time;
    return COleDateTime(dt, valid);
}

bool COleDateTime::HasDate() const { return m_status == valid && m_dt >= kMinDate && m_dt <= kMaxDate; }

bool COleDateTime::GetFields(DateTimeFields& out) const {
    if (!HasDate()) return false;
    // Round to the nearest second, then split: the whole days toward zero, and the fraction of the absolute
    // value as the time of day, so a negative day count keeps its fraction as a forward time.
    double absDt = std::fabs(m_dt);
    long long totalSecs = static_cast<long long>(std::floor(absDt * 86400.0 + 0.5));
    long daysAbsolute = static_cast<long>(totalSecs / 86400);
    long secsInDay = static_cast<long>(totalSecs % 86400);
    if (m_dt < 0.0) daysAbsolute = -daysAbsolute;
    long z = daysAbsolute + DaysFromCivil(1899, 12, 30);
    CivilFromDays(z, out.year, out.month, out.day);
    out.hour = static_cast<int>(secsInDay / 3600);
    out.minute = static_cast<int>((secsInDay / 60) % 60);
    out.second = static_cast<int>(secsInDay % 60);
    long dow = (z + 3) % 7;  // day 0 (1 March of year 0) was a Wednesday
    if (dow < 0) dow += 7;
    out.dayOfWeek = static_cast<int>(dow);
    out.dayOfYear = static_cast<int>(z - DaysFromCivil(out.year, 1, 1) + 1);
    return true;
}

int COleDateTime::GetHour() const {
    DateTimeFields f;
    return GetFields(f) ? f.hour : -1;
}

std::string COleDateTime::Format(const char* format) const {
    DateTimeFields f;
    if (format == nullptr || !GetFields(f)) return std::string();
    std::string out;
    char buf[32];
    for (const char* p = format; *p; ++p) {
        if (*p != '%' || p[1] == '\0') {
            out += *p;
            continue;
        }
        switch (*++p) {
            case 'Y': std::snprintf(buf, sizeof buf, "%04d", f.year); out += buf; break;
            case 'y': Append2(out, f.year % 100); break;
            case 'm': Append2(out, f.month); break;
            case 'd': Append2(out, f.day); break;
            case 'H': Append2(out, f.hour); break;
            case 'I': Append2(out, f.hour % 12 == 0 ? 12 : f.hour % 12); break;
            case 'M': Append2(out, f.minute); break;
            case 'S': Append2(out, f.second); break;
            case 'p': out += f.hour < 12 ? "AM" : "PM"; break;
            case 'j': std::snprintf(buf, sizeof buf, "%03d", f.dayOfYear); out += buf; break;
            case 'a': out.append(kDayNames[f.dayOfWeek], 3); break;
            case 'A': out += kDayNames[f.dayOfWeek]; break;
            case 'b': out.append(kMonthNames[f.month - 1], 3); break;
            case 'B': out += kMonthNames[f.month - 1]; break;
            case '%': out += '%'; break;
            default: out += '%'; out += *p; break;
        }
    }
    return out;
}

bool COleDateTime::SameTime(const COleDateTime& other) const {
    if (m_status == valid && other.m_status == valid) return m_dt == other.m_dt;
    return m_status == null && other.m_status == null;
}

#include "contest_dates.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

#include "common/text.h"

namespace replay {

COleDateTime ContestStartNear(const COleDateTime& t) {
    DateTimeFields f;
    if (!t.GetFields(f)) return COleDateTime::Null();
    // Day counts are whole at midnight; 30 December 1899 was a Saturday, so day n is a Saturday when
    // n mod 7 == 0.
    double day = std::floor(t.m_dt);
    double saturday = day - std::fmod(std::fmod(day, 7.0) + 7.0, 7.0);
    double best = saturday + 0.75;
    for (double candidate : {best - 7.0, best + 7.0}) {
        if (std::fabs(candidate - t.m_dt) < std::fabs(best - t.m_dt)) best = candidate;
    }
    DateTimeFields s;
    COleDateTime approx(best, COleDateTime::valid);
    if (!approx.GetFields(s)) return COleDateTime::Null();
    return COleDateTime::FromFields(s.year, s.month, s.day, 18, 0);
}

COleDateTime ContestEndFor(const COleDateTime& start) {
    DateTimeFields s;
    if (!start.GetFields(s)) return COleDateTime::Null();
    // Whole days and hours rebuilt from fields, so the end is exact to the minute.
    COleDateTime day(std::floor(start.m_dt + 1e-9) + (s.hour + kContestHours) / 24, COleDateTime::valid);
    DateTimeFields e;
    if (!day.GetFields(e)) return COleDateTime::Null();
    return COleDateTime::FromFields(e.year, e.month, e.day, (s.hour + kContestHours) % 24, s.minute);
}

long long WholeMinutes(const COleDateTime& t) { return std::llround(t.m_dt * 24.0 * 60.0); }

COleDateTime FromWholeMinutes(long long minutes) {
    return COleDateTime(static_cast<double>(minutes) / (24.0 * 60.0), COleDateTime::valid);
}

COleDateTime FirstQsoTime(const std::vector<LogQso>& qsos) {
    COleDateTime first = COleDateTime::Null();
    for (const LogQso& q : qsos) {
        if (q.time.IsValid() && (!first.IsValid() || q.time.m_dt < first.m_dt)) first = q.time;
    }
    return first;
}

std::optional<COleDateTime> ParseDateTimeOption(const std::string& textIn) {
    std::string digits;
    for (char c : text::Trim(textIn)) {
        if (std::isdigit(static_cast<unsigned char>(c))) {
            digits += c;
        } else if (c != '-' && c != ':' && c != ' ' && c != 'T' && c != 't' && c != 'Z' && c != 'z') {
            return std::nullopt;
        }
    }
    if (digits.size() != 8 && digits.size() != 12) return std::nullopt;
    int hour = 0, minute = 0;
    if (digits.size() == 12) {
        hour = std::atoi(digits.substr(8, 2).c_str());
        minute = std::atoi(digits.substr(10, 2).c_str());
    }
    COleDateTime t = COleDateTime::FromFields(std::atoi(digits.substr(0, 4).c_str()),
                                              std::atoi(digits.substr(4, 2).c_str()),
                                              std::atoi(digits.substr(6, 2).c_str()), hour, minute);
    if (!t.IsValid()) return std::nullopt;
    return t;
}

}  // namespace replay

#include "contest_dates.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <map>

#include "common/text.h"

namespace replay {

long long WholeMinutes(const COleDateTime& t) { return std::llround(t.m_dt * 24.0 * 60.0); }

COleDateTime FromWholeMinutes(long long minutes) {
    return COleDateTime(static_cast<double>(minutes) / (24.0 * 60.0), COleDateTime::valid);
}

long long BusiestPeriodStart(const contest::Record& contest, const std::vector<long long>& minutes) {
    std::map<long long, size_t> periods;  // start -> QSOs
    long long last = 1, lastStart = 0;
    constexpr long long kHalfWeek = 7 * 24 * 60 / 2 - 1;  // a time this near a period's start finds it again
    for (long long minute : minutes) {
        if (periods.empty() || minute < last - kHalfWeek || minute > last + kHalfWeek) {
            lastStart = WholeMinutes(contest.PeriodStartNear(FromWholeMinutes(minute)));
            last = lastStart;
        }
        ++periods[lastStart];
    }
    // Most QSOs, and the earlier period of two as full.
    const auto best = std::max_element(periods.begin(), periods.end(),
                                       [](const auto& a, const auto& b) { return a.second < b.second; });
    return best == periods.end() ? WholeMinutes(contest.PeriodStartNear(FromWholeMinutes(0))) : best->first;
}

COleDateTime ContestStartOfLog(const contest::Record& contest, const std::vector<LogQso>& qsos) {
    std::vector<long long> minutes;
    for (const LogQso& q : qsos) {
        if (q.time.IsValid()) minutes.push_back(WholeMinutes(q.time));
    }
    if (minutes.empty()) return COleDateTime::Null();
    return FromWholeMinutes(BusiestPeriodStart(contest, minutes));
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

#include "contest_dates.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

#include "common/text.h"

namespace replay {

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

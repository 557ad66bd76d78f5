#pragma once
// The contest period the host passes to ResetStats0. The ARRL RTTY Roundup runs from Saturday 18:00 UTC for
// 30 hours; a replay takes the weekend of the log's first QSO unless the operator names the dates.
#include <optional>
#include <string>
#include <vector>

#include "common/ole_date_time.h"
#include "log_types.h"

namespace replay {

constexpr int kContestHours = 30;

// The Saturday 18:00 UTC nearest to the given time: for any QSO of the contest weekend that is the start of
// that weekend's contest; a QSO made a little early, on Saturday morning, still finds the same Saturday.
COleDateTime ContestStartNear(const COleDateTime& t);
COleDateTime ContestEndFor(const COleDateTime& start);

// Whole minutes since the date-time origin, so that times built in different ways compare exactly; a
// multiple of 60 is the top of a clock hour.
long long WholeMinutes(const COleDateTime& t);
COleDateTime FromWholeMinutes(long long minutes);

// The earliest valid QSO time of the log; null when there is none.
COleDateTime FirstQsoTime(const std::vector<LogQso>& qsos);

// "2019-01-05 1800", "2019-01-05 18:00", "2019-01-05T18:00", "20190105 1800" or a bare date (00:00).
std::optional<COleDateTime> ParseDateTimeOption(const std::string& text);

}  // namespace replay

#pragma once
// Times of the replay: whole minutes, the log's first QSO (whose weekend gives the contest period, see
// ContestRules, unless the operator names the dates) and the dates of the command line.
#include <optional>
#include <string>
#include <vector>

#include "common/ole_date_time.h"
#include "log_types.h"

namespace replay {

// Whole minutes since the date-time origin, so that times built in different ways compare exactly; a
// multiple of 60 is the top of a clock hour.
long long WholeMinutes(const COleDateTime& t);
COleDateTime FromWholeMinutes(long long minutes);

// The earliest valid QSO time of the log; null when there is none.
COleDateTime FirstQsoTime(const std::vector<LogQso>& qsos);

// "2019-01-05 1800", "2019-01-05 18:00", "2019-01-05T18:00", "20190105 1800" or a bare date (00:00).
std::optional<COleDateTime> ParseDateTimeOption(const std::string& text);

}  // namespace replay

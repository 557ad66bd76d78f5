#pragma once
// Times of the replay: whole minutes, the log's first QSO (whose weekend gives the contest period, see
// ContestRules, unless the operator names the dates) and the dates of the command line.
#include <optional>
#include <string>
#include <vector>

#include "common/ole_date_time.h"
#include "contest/record.h"
#include "log_types.h"

namespace replay {

// Whole minutes since the date-time origin, so that times built in different ways compare exactly; a
// multiple of 60 is the top of a clock hour.
long long WholeMinutes(const COleDateTime& t);
COleDateTime FromWholeMinutes(long long minutes);

// The contest period of a log: the period (of the contest's weekend next to a QSO) that most of its QSOs fall
// in, the earlier of two with as many, so that a stray QSO of another week moves nothing. Null when no QSO has
// a valid time. The same from QSO times in whole minutes: the start, in whole minutes.
COleDateTime ContestStartOfLog(const contest::Record& contest, const std::vector<LogQso>& qsos);
long long BusiestPeriodStart(const contest::Record& contest, const std::vector<long long>& minutes);

// "2019-01-05 1800", "2019-01-05 18:00", "2019-01-05T18:00", "20190105 1800" or a bare date (00:00).
std::optional<COleDateTime> ParseDateTimeOption(const std::string& text);

}  // namespace replay

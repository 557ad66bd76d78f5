#pragma once
// The two places where the checker applies the contest's rules itself rather than through the plug-in: what
// a counted QSO is worth in the checked score, and the contest period a QSO belongs to. Both stand here and
// nowhere else in the checker, so the contest's record can take their place.
#include <string>

namespace check {

// A counted QSO's points and the multiplier it counts for ("" when none), by the rules the plug-in scores
// with: a W/VE station's state or province under the code it counts as (AK and HI count only as the DXCC
// entities KL7 and KH6, so a W/VE station sending them gives none), any other DXCC entity's prefix.
struct QsoCredit {
    int points = 0;
    std::string multiplier;
};
QsoCredit CreditQso(const std::string& prefix, const std::string& exchRcvd);

// The contest period a QSO at this time (whole minutes) belongs to: [start, end) in whole minutes.
struct ContestPeriod {
    long long start = 0, end = 0;
};
ContestPeriod PeriodOfQso(long long minute);

}  // namespace check

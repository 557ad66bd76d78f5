#include "contest_terms.h"

#include "contest_dates.h"
#include "engine/contest_rules.h"

namespace check {

QsoCredit CreditQso(const std::string& prefix, const std::string& exchRcvd) {
    QsoCredit c;
    c.points = Contest().pointsPerQso;
    if (rules::IsWve(prefix)) {
        const std::string code = rules::NormaliseStateProv(exchRcvd);
        if (rules::IsStateProvMultiplier(code)) c.multiplier = rules::CanonicalStateProv(code);
    } else if (rules::IsDxccMultiplier(prefix)) {
        c.multiplier = "#" + prefix;  // apart from the state codes
    }
    return c;
}

ContestPeriod PeriodOfQso(long long minute) {
    const COleDateTime start = Contest().PeriodStartNear(replay::FromWholeMinutes(minute));
    return {replay::WholeMinutes(start), replay::WholeMinutes(Contest().PeriodEnd(start))};
}

}  // namespace check

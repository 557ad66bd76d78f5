#include "contest_terms.h"

#include "contest_dates.h"

namespace check {

QsoCredit CreditQso(const contest::Record& contest, const std::string& ownPrefix, const std::string& call,
                    const std::string& prefix, const std::string& exchRcvd, const std::string& band) {
    // The checker keeps no mode or time with a QSO's credit: a rule that needed them would see none here.
    const std::string counted = contest.JudgeExchange(call, prefix, exchRcvd).counted;
    const contest::Credit credit =
        contest.CreditOf({"", ownPrefix, call, prefix, band, "", COleDateTime::Null(), counted});
    QsoCredit c;
    c.points = credit.points;
    for (const contest::MultiplierKey& key : credit.keys) {
        const bool perBand = contest.MultiplierKinds()[key.kind].perBand;
        c.multipliers.push_back("#" + std::to_string(key.kind) + "#" + (perBand ? band : "") + "#" + key.code);
    }
    return c;
}

ContestPeriod PeriodOfQso(const contest::Record& contest, long long minute) {
    const COleDateTime start = contest.PeriodStartNear(replay::FromWholeMinutes(minute));
    return {replay::WholeMinutes(start), replay::WholeMinutes(contest.PeriodEnd(start))};
}

}  // namespace check

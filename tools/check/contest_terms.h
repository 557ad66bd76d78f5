#pragma once
// What the checker takes from the contest's record: what a counted QSO is worth in the checked score (through
// the record's one Credit rule), and the contest period a QSO belongs to. Both stand here and nowhere else in
// the checker.
#include <string>
#include <vector>

#include "contest/record.h"

namespace check {

// A counted QSO's points and the multipliers it counts for, each as a text that names the key's kind (and its
// band, for a kind counted per band), so that keys of different kinds never meet. The own station's prefix, the
// worked call and its prefix and the received exchange as the plug-in was given them.
struct QsoCredit {
    int points = 0;
    std::vector<std::string> multipliers;
};
QsoCredit CreditQso(const contest::Record& contest, const std::string& ownPrefix, const std::string& call,
                    const std::string& prefix, const std::string& exchRcvd, const std::string& band);

// The contest period a QSO at this time (whole minutes) belongs to: [start, end) in whole minutes.
struct ContestPeriod {
    long long start = 0, end = 0;
};
ContestPeriod PeriodOfQso(const contest::Record& contest, long long minute);

}  // namespace check

#pragma once
// What the check writes: a log-checking report per log, results.csv and results.html over all logs.
#include <string>
#include <vector>

#include "check.h"
#include "cross_check.h"

namespace check {

// Everything the outputs read, by log in the same order.
struct CheckedContest {
    const contest::Record* contest = nullptr;
    const std::vector<LogInfo>* infos = nullptr;
    const std::vector<CheckLog>* logs = nullptr;
    const std::vector<LogResult>* results = nullptr;
    const CallTable* calls = nullptr;
    std::vector<std::vector<bool>> unlisted;
};

// The score that remains: points and multipliers counted again without the removed QSOs.
long long CheckedScore(const contest::Record& contest, const LogResult& r);

// "W1AW_4.lcr.txt": the own call with every character a file name cannot hold replaced; the second log of the
// same call (copy 2) gets "W1AW_4-2.lcr.txt", so no log's report takes another's place.
std::string ReportFileName(const std::string& call, int copy = 1);
// The log-checking report of one log; `lines` are the log file's lines, to quote each QSO as it stands.
std::string LogCheckReport(const CheckedContest& c, size_t log, const std::vector<std::string>& lines);

// The order of the results tables: by category (operator, power, assisted), then checked score, highest first.
std::vector<size_t> ResultOrder(const CheckedContest& c);
constexpr const char* kCsvColumns =
    "call,category_operator,category_power,category_assisted,location,claimed_score,qsos,plugin_score,"
    "checked_qsos,not_in_log,busted_call,busted_exchange,unique,checked_score";
std::string ResultsCsv(const CheckedContest& c);
std::string ResultsHtml(const CheckedContest& c, const std::string& title);

}  // namespace check

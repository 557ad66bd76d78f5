#pragma once
// What the check writes: a log-checking report per log, results.csv and results.html over all logs, and the
// manager's lists: missing-logs.csv and toxic-logs.csv.
#include <string>
#include <unordered_map>
#include <vector>

#include "check.h"
#include "cross_check.h"

namespace check {

// Everything the outputs read, by log in the same order.
struct CheckedContest {
    const contest::Record* contest = nullptr;
    const std::vector<LogInfo>* infos = nullptr;
    const std::vector<CheckLog>* logs = nullptr;
    const CrossCheckResult* results = nullptr;
    const CallTable* calls = nullptr;
    std::vector<std::vector<bool>> unlisted;  // per QSO: a unique call not in the super-check-partial list
    std::vector<LeftOut> leftOut;
    int windowMinutes = 3;
    // The lines the reports quote, per log by line number, as the files hold them.
    std::vector<std::unordered_map<int, std::string>> quotes;
};

// Where a log's CALLSIGN header names another station than its QSO lines: both calls, the one it was checked
// as, and how many of its QSOs the partners' logs hold with each.
std::string HeaderCallNote(const LogInfo& info, const LogResult& r);

// The score that remains: points and multipliers counted again without the removed QSOs.
long long CheckedScore(const contest::Record& contest, const LogResult& r);

// Each log's report file, "W1AW_4.lcr.txt": the own call with every character a file name cannot hold
// replaced (and a leading '_' before a Windows device name), at most 64 characters; a second log of a call,
// or a name another call already has (letter case aside), gets the first free "-N". No two logs share a
// report, and none is named like the contest's own files.
std::vector<std::string> ReportFileNames(const std::vector<std::string>& calls);
// The files over all logs in the output folder. Where logs were lost, each list but the files not checked
// is written under its partial name ("results-partial.csv").
constexpr const char* kResultsCsv = "results.csv";
constexpr const char* kResultsHtml = "results.html";
constexpr const char* kMissingLogsCsv = "missing-logs.csv";
constexpr const char* kToxicLogsCsv = "toxic-logs.csv";
constexpr const char* kFilesNotCheckedCsv = "files-not-checked.csv";
std::string PartialName(const std::string& complete);
// The lists under their complete and their partial names: a run removes what an earlier run left of them.
const std::vector<std::string>& ListFileNames();
// The checker's own files in its output folder, which are never logs.
bool IsOutputFileName(const std::string& name);

// For the quotes: the line numbers each log's reports quote of it.
std::vector<std::vector<int>> QuotedLines(const CheckedContest& c);
// Those lines of a file (each cut at a quote's length), read once with the readers' line ends.
std::unordered_map<int, std::string> ReadQuotedLines(const std::string& path, const std::vector<int>& lines);

// The log-checking report of one log: every entry with its line and the QSO line as it stands, a penalty
// also with the other log's file, line and QSO line.
std::string LogCheckReport(const CheckedContest& c, size_t log);

// The order of the results tables: by contest period, the latest first, then category (operator, power,
// assisted), then checked score, highest first.
std::vector<size_t> ResultOrder(const CheckedContest& c);
// The years of the contests the logs belong to: "2025", "2018 and 2025".
std::string ContestYears(const CheckedContest& c);
constexpr const char* kCsvColumns =
    "call,category_operator,category_power,category_assisted,location,claimed_score,qsos,plugin_score,"
    "checked_qsos,not_in_log,busted_call,busted_exchange,unique,outside_period,checked_score,contest,year";
// One CSV field by RFC 4180, and never a formula: a text starting with = + - @, a tab or a CR gets a
// leading apostrophe.
std::string CsvField(const std::string& text);
std::string ResultsCsv(const CheckedContest& c);
std::string ResultsHtml(const CheckedContest& c, const std::string& title);
// A station without a log: "sent no log", or, where a file given may be its log, "log not checked: " and why.
std::string MissingLogsCsv(const CheckedContest& c);
std::string MissingLogStatus(const CheckedContest& c, const std::string& call);
// Every file given that was not checked: file, the call it may be of, why.
std::string FilesNotCheckedCsv(const CheckedContest& c);
std::string ToxicLogsCsv(const CheckedContest& c);
// A log's toxic share stands out when it is at least this, and three times the contest's median.
constexpr double kToxicShare = 0.10;
double ToxicThreshold(const CheckedContest& c);
std::vector<size_t> ToxicOrder(const CheckedContest& c);  // highest share first

}  // namespace check

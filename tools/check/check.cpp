#include "check.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <ostream>
#include <sstream>

#include "analysis.h"
#include "child_process.h"
#include "common/text.h"
#include "contest_dates.h"
#include "log_readers.h"
#include "outputs.h"
#include "platform/settings.h"
#include "plugin/plugin_library.h"
#include "replay.h"

namespace fs = std::filesystem;

namespace check {

namespace {

constexpr const char* kTool = "stats-check: ";
constexpr const char* kWorkFolder = ".work";

bool ReadLines(const std::string& path, std::vector<std::string>& lines) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return true;
}

// What a worker found for one log: the plug-in's score and, per QSO in the log's order, whether it added
// the QSO, the prefix it was given and the reason it rejected or did not count it.
struct WorkerOutcome {
    int exitCode = -1;
    std::optional<long long> pluginScore;
    std::vector<replay::QsoOutcome> outcomes;
};

// Result records: "L index exit-code score|- count", then per QSO "added prefix|- reason".
void WriteOutcome(std::ostream& out, size_t index, int rc, const replay::ReplaySummary& s) {
    out << "L " << index << " " << rc << " " << (s.pluginScore ? std::to_string(*s.pluginScore) : "-") << " "
        << s.outcomes.size() << "\n";
    for (const replay::QsoOutcome& o : s.outcomes) {
        std::string reason = o.reason;
        std::replace(reason.begin(), reason.end(), '\n', ' ');
        std::replace(reason.begin(), reason.end(), '\r', ' ');
        out << (o.added ? 1 : 0) << " " << (o.prefix.empty() ? "-" : o.prefix) << " " << reason << "\n";
    }
}

void ReadOutcomes(const std::string& path, std::vector<WorkerOutcome>& outcomes) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream head(line);
        std::string tag, score;
        size_t index = 0, count = 0;
        int rc = -1;
        if (!(head >> tag >> index >> rc >> score >> count) || tag != "L" || index >= outcomes.size()) return;
        WorkerOutcome w;
        w.exitCode = rc;
        if (score != "-") w.pluginScore = std::stoll(score);
        for (size_t i = 0; i < count && std::getline(in, line); ++i) {
            replay::QsoOutcome o;
            o.added = line.size() > 0 && line[0] == '1';
            size_t a = line.find(' '), b = a == std::string::npos ? a : line.find(' ', a + 1);
            o.prefix = a == std::string::npos ? "" : line.substr(a + 1, b == std::string::npos ? b : b - a - 1);
            if (o.prefix == "-") o.prefix.clear();
            if (b != std::string::npos) o.reason = line.substr(b + 1);
            w.outcomes.push_back(std::move(o));
        }
        if (w.outcomes.size() == count) outcomes[index] = std::move(w);
    }
}

// What a counted QSO scores by the contest's Credit rule: its points, and its multiplier as a text of the call
// table that names its kind (and its band, for a kind counted per band), so that keys of different kinds
// never meet.
void Credit(const contest::Record& contest, const std::string& prefix, const std::string& band, CheckQso& q,
            CallTable& calls) {
    const contest::Credit credit = contest.CreditOf(prefix, q.exchRcvd);
    q.points = static_cast<uint8_t>(credit.points);
    for (const contest::MultiplierKey& key : credit.keys) {
        const bool perBand = contest.MultiplierKinds()[key.kind].perBand;
        q.multiplier = calls.Intern("#" + std::to_string(key.kind) + "#" + (perBand ? band : "") + "#" + key.code);
    }
}

uint8_t BandIndex(const contest::Record& contest, const std::string& band) {
    const CaseInsensitiveTextSet& bands = contest.AcceptedBands();
    for (size_t i = 0; i < bands.Count(); ++i) {
        if (text::EqualsNoCase(bands.At(i), band)) return static_cast<uint8_t>(i);
    }
    return 0xff;
}

class Progress {
public:
    Progress(bool draw, size_t logs, size_t qsos) : draw_(draw), logs_(logs), qsos_(qsos) {}
    void Show(size_t logsDone, size_t qsosDone, std::ostream& err) {
        if (!draw_) return;
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
        const double rate = seconds > 0 ? qsosDone / seconds : 0;
        const double left = rate > 0 && qsos_ > qsosDone ? (qsos_ - qsosDone) / rate : 0;
        const size_t width = 30, filled = logs_ ? width * logsDone / logs_ : width;
        err << "\r[" << std::string(filled, '#') << std::string(width - filled, '.') << "] " << logsDone << "/"
            << logs_ << " logs, " << static_cast<long long>(rate) << " QSOs/s, " << static_cast<long long>(left)
            << " s left   " << std::flush;
    }
    void Done(std::ostream& err) {
        if (draw_) err << "\n";
    }

private:
    bool draw_;
    size_t logs_, qsos_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace

std::vector<std::string> CollectLogFiles(const std::vector<std::string>& inputs, std::vector<std::string>& errors,
                                         const std::string& outDir) {
    std::vector<std::string> files;
    for (const std::string& input : inputs) {
        std::error_code ec;
        if (fs::is_directory(input, ec)) {
            std::vector<std::string> found;
            for (auto it = fs::recursive_directory_iterator(input, ec); !ec && it != fs::recursive_directory_iterator();
                 it.increment(ec)) {
                const std::string name = it->path().filename().string();
                const bool isDir = it->is_directory(ec);
                if ((!name.empty() && name[0] == '.') ||
                    (isDir && !outDir.empty() && fs::equivalent(it->path(), outDir, ec))) {
                    if (isDir) it.disable_recursion_pending();
                    ec.clear();
                    continue;
                }
                if (it->is_regular_file(ec)) found.push_back(it->path().string());
            }
            if (ec) errors.push_back(input + ": " + ec.message());
            std::sort(found.begin(), found.end());
            files.insert(files.end(), found.begin(), found.end());
        } else if (fs::exists(input, ec)) {
            files.push_back(input);
        } else {
            errors.push_back(input + ": no such file or folder");
        }
    }
    return files;
}

int RunWorker(const std::string& listPath, const std::string& resultPath, const std::string& workDir,
              const std::string& pluginPath, const std::string& countryFile) {
    std::vector<std::string> lines;
    if (!ReadLines(listPath, lines)) return 2;
    std::ofstream out(resultPath, std::ios::binary | std::ios::trunc);
    // One plug-in and one country file for all the logs of this worker; the plug-in's reset starts each log.
    std::error_code ec;
    fs::create_directories(fs::path(workDir) / "Plugins", ec);
    fs::current_path(workDir, ec);
    PluginLibrary plugin;
    replay::ReplayInputs in;
    std::string error;
    if (ec || !plugin.Load(pluginPath, error) || !(in.contest = replay::ContestOfPlugin(plugin, pluginPath, error)) ||
        !in.cty.Load(countryFile, error)) {
        return 2;
    }
    Settings::WriteString("Start", "1");  // no status windows
    replay::ReplayOptions o;
    o.pluginPath = pluginPath;
    o.countryFile = countryFile;
    size_t done = 0, qsos = 0;
    for (const std::string& line : lines) {
        const size_t tab = line.find('\t');
        if (tab == std::string::npos) continue;
        const size_t index = std::stoul(line.substr(0, tab));
        o.logPath = line.substr(tab + 1);
        replay::ReplaySummary summary;
        int rc = 2;
        try {
            in.log = replay::ParsedLog();
            if (replay::ReadLogFile(o.logPath, *in.contest, in.log, error)) {
                std::vector<std::string> warnings;
                const replay::ReplayPlan plan = replay::PlanReplay(o, in, warnings);
                std::vector<replay::QsoOutcome> answers = replay::ReplayQsos(plugin, o, in, plan, workDir);
                const replay::PluginResult result = replay::FinishReplay(plugin, o, in);
                summary = replay::MapOutcomes(in, plan, std::move(answers)).summary;
                summary.pluginScore = result.pluginScore;
                rc = 0;
            }
        } catch (const std::exception&) {
            rc = 2;
        }
        WriteOutcome(out, index, rc, summary);
        out.flush();
        ++done;
        qsos += summary.qsosRead;
        std::ofstream progress(resultPath + ".progress", std::ios::binary | std::ios::trunc);
        progress << done << " " << qsos << "\n";
    }
    return out ? 0 : 2;
}

int RunCheck(const CheckOptions& o, std::ostream& err) {
    std::vector<std::string> errors;
    std::error_code ec;
    const fs::path outDir = fs::absolute(o.outDir, ec);
    std::vector<std::string> files = CollectLogFiles(o.inputs, errors, outDir.string());
    for (const std::string& e : errors) err << kTool << e << "\n";
    if (files.empty()) {
        err << kTool << "no log to check\n";
        return 2;
    }
    const fs::path workDir = outDir / kWorkFolder;
    fs::create_directories(workDir, ec);
    if (ec) {
        err << kTool << "cannot create " << workDir.string() << ": " << ec.message() << "\n";
        return 2;
    }
    // The workers' folders go whatever the outcome.
    struct RemoveOnExit {
        fs::path dir;
        ~RemoveOnExit() {
            std::error_code ignored;
            fs::remove_all(dir, ignored);
        }
    } removeWork{workDir};
    const std::string pluginPath =
        fs::absolute(o.pluginPath.empty() ? DefaultPluginPath() : o.pluginPath, ec).string();
    const std::string countryFile = fs::absolute(o.countryFile, ec).string();
    // One load here, so a plug-in that cannot be loaded is said once, not once per log; its set names the
    // contest the logs are read and checked as.
    const contest::Record* contest = nullptr;
    {
        PluginLibrary plugin;
        std::string error;
        if (!plugin.Load(pluginPath, error) || !(contest = replay::ContestOfPlugin(plugin, pluginPath, error))) {
            err << kTool << error << "\n";
            return 2;
        }
    }

    // The workers: each a list of logs, the largest first to whichever worker has the least so far.
    const int jobs = std::max(1, std::min<int>(o.jobs > 0 ? o.jobs : ProcessorCount(), static_cast<int>(files.size())));
    std::vector<std::pair<uintmax_t, size_t>> bySize;
    for (size_t i = 0; i < files.size(); ++i) bySize.emplace_back(fs::file_size(files[i], ec), i);
    std::sort(bySize.begin(), bySize.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<uintmax_t> load(jobs, 0);
    std::vector<std::string> lists(jobs);
    for (const auto& [size, i] : bySize) {
        const size_t w = static_cast<size_t>(std::min_element(load.begin(), load.end()) - load.begin());
        load[w] += size + 1;
        lists[w] += std::to_string(i) + "\t" + fs::absolute(files[i], ec).string() + "\n";
    }
    std::vector<std::unique_ptr<ChildProcess>> workers;
    std::vector<std::string> resultPaths;
    for (int w = 0; w < jobs; ++w) {
        const fs::path dir = workDir / ("w" + std::to_string(w));
        fs::create_directories(dir, ec);
        const std::string listPath = (dir / "logs.txt").string();
        std::ofstream(listPath, std::ios::binary | std::ios::trunc) << lists[w];
        resultPaths.push_back((dir / "results.txt").string());
        auto child = std::make_unique<ChildProcess>();
        std::string error;
        if (!child->Start(ProgramPath(), {"--worker", listPath, resultPaths.back(), (dir / "plugin").string(),
                                          pluginPath, countryFile},
                          error)) {
            err << kTool << error << "\n";
            return 2;
        }
        workers.push_back(std::move(child));
    }

    // Meanwhile the logs are read here for the cross-check.
    CallTable calls;
    std::vector<LogInfo> infos(files.size());
    std::vector<CheckLog> logs(files.size());
    std::vector<bool> readable(files.size(), false);
    size_t totalQsos = 0;
    for (size_t i = 0; i < files.size(); ++i) {
        replay::ParsedLog parsed;
        std::string error;
        if (!replay::ReadLogFile(files[i], *contest, parsed, error)) {
            err << kTool << error << " (left out)\n";
            continue;
        }
        readable[i] = true;
        LogInfo& info = infos[i];
        info.path = files[i];
        info.call = text::ToUpper(text::Trim(parsed.ownCall));
        info.header = parsed.header;
        info.claimedScore = parsed.claimedScore;
        info.qsos = parsed.qsos.size();
        totalQsos += parsed.qsos.size();
        CheckLog& log = logs[i];
        log.station = calls.Intern(StationOf(info.call));
        log.contest = static_cast<int>(replay::WholeMinutes(contest->PeriodStartNear(replay::FirstQsoTime(parsed.qsos))));
        log.qsos.reserve(parsed.qsos.size());
        for (replay::LogQso& q : parsed.qsos) {
            CheckQso c;
            c.line = q.line;
            c.minute = static_cast<int>(replay::WholeMinutes(q.time));
            c.band = BandIndex(*contest, q.band);
            c.call = calls.Intern(q.call);
            c.station = calls.Intern(StationOf(q.call));
            c.exchSent = std::move(q.exchSent);
            c.exchRcvd = std::move(q.exchRcvd);
            log.qsos.push_back(std::move(c));
        }
    }

    Progress progress(o.progress && ErrorIsTerminal(), files.size(), totalQsos);
    std::vector<bool> finished(workers.size(), false);
    for (size_t open = workers.size(); open > 0;) {
        for (size_t w = 0; w < workers.size(); ++w) {
            int rc = 0;
            if (!finished[w] && workers[w]->Finished(rc)) {
                finished[w] = true;
                --open;
                if (rc != 0) err << kTool << "worker " << w << " ended with " << rc << "\n";
            }
        }
        size_t logsDone = 0, qsosDone = 0;
        for (const std::string& p : resultPaths) {
            std::ifstream in(p + ".progress", std::ios::binary);
            size_t l = 0, q = 0;
            if (in >> l >> q) logsDone += l, qsosDone += q;
        }
        progress.Show(logsDone, qsosDone, err);
        if (open > 0) SleepMilliseconds(100);
    }
    progress.Done(err);

    std::vector<WorkerOutcome> outcomes(files.size());
    for (const std::string& p : resultPaths) ReadOutcomes(p, outcomes);

    // Only logs both read here and scored by the plug-in are checked and take part as other stations.
    std::vector<size_t> kept;
    for (size_t i = 0; i < files.size(); ++i) {
        if (!readable[i]) continue;
        const WorkerOutcome& w = outcomes[i];
        if (w.exitCode != 0 || w.outcomes.size() != logs[i].qsos.size()) {
            err << kTool << files[i] << ": the plug-in could not score it (left out)\n";
            continue;
        }
        infos[i].pluginScore = w.pluginScore;
        for (size_t q = 0; q < w.outcomes.size(); ++q) {
            CheckQso& c = logs[i].qsos[q];
            c.counted = w.outcomes[q].Counted();
            if (!c.counted) c.pluginReason = w.outcomes[q].reason;
            if (c.counted) {
                const std::string band = c.band < contest->AcceptedBands().Count() ? contest->AcceptedBands().At(c.band) : "";
                Credit(*contest, w.outcomes[q].prefix, band, c, calls);
            }
        }
        kept.push_back(i);
    }
    std::vector<LogInfo> keptInfos;
    std::vector<CheckLog> keptLogs;
    for (size_t i : kept) {
        keptInfos.push_back(std::move(infos[i]));
        keptLogs.push_back(std::move(logs[i]));
    }
    if (keptLogs.empty()) {
        err << kTool << "no log could be checked\n";
        return 2;
    }

    CrossCheckOptions crossCheck = o.crossCheck;
    crossCheck.contest = contest;
    const std::vector<LogResult> results = CrossCheck(keptLogs, calls, crossCheck);

    replay::ScpList scp;
    std::string scpError;
    const bool haveScp = scp.Load(o.scpFile, scpError);
    if (!haveScp) err << kTool << scpError << ": unique calls are not checked against it\n";
    CheckedContest checked;
    checked.contest = contest;
    checked.infos = &keptInfos;
    checked.logs = &keptLogs;
    checked.results = &results;
    checked.calls = &calls;
    checked.unlisted.resize(keptLogs.size());
    for (size_t i = 0; i < keptLogs.size(); ++i) {
        checked.unlisted[i].resize(keptLogs[i].qsos.size(), false);
        for (size_t q = 0; q < keptLogs[i].qsos.size(); ++q) {
            if (haveScp && results[i].qsos[q].verdict == Verdict::unique) {
                checked.unlisted[i][q] = !scp.Contains(calls.Text(keptLogs[i].qsos[q].call));
            }
        }
    }

    bool written = true;
    // By the call as a file name, letter case aside as Windows has it: how many logs so far, and the first.
    std::map<std::string, std::pair<int, std::string>> copies;
    for (size_t i = 0; i < keptLogs.size(); ++i) {
        std::vector<std::string> lines;
        ReadLines(keptInfos[i].path, lines);
        auto& [copy, first] = copies[text::ToUpper(ReportFileName(keptInfos[i].call))];
        if (++copy == 1) {
            first = keptInfos[i].path;
        } else {
            err << kTool << keptInfos[i].path << " is log " << copy << " of " << keptInfos[i].call << " (the first: "
                << first << "); each is checked: leave one out if it is a copy\n";
        }
        std::ofstream report(outDir / ReportFileName(keptInfos[i].call, copy), std::ios::binary | std::ios::trunc);
        report << LogCheckReport(checked, i, lines);
        written = written && static_cast<bool>(report);
    }
    {
        std::ofstream csv(outDir / "results.csv", std::ios::binary | std::ios::trunc);
        csv << ResultsCsv(checked);
        std::ofstream html(outDir / "results.html", std::ios::binary | std::ios::trunc);
        html << ResultsHtml(checked, contest->name + std::string(": log check"));
        written = written && csv && html;
    }
    if (!written) {
        err << kTool << "cannot write every file in " << outDir.string() << "\n";
        return 2;
    }
    size_t offsets = 0;
    for (const LogResult& r : results) offsets += r.clockOffset != 0;
    err << kTool << keptLogs.size() << " of " << files.size() << " logs checked, " << totalQsos << " QSOs, "
        << offsets << " clocks off; results in " << outDir.string() << "\n";
    return keptLogs.size() == files.size() && errors.empty() ? 0 : 1;
}

}  // namespace check

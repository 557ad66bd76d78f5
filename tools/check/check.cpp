#include "check.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <map>
#include <set>

#include "child_process.h"
#include "common/text.h"
#include "analysis.h"
#include "contest_dates.h"
#include "contest_terms.h"
#include "engine/bad_qso_file.h"
#include "intake.h"
#include "outputs.h"
#include "plugin/plugin_library.h"
#include "replay.h"
#include "worker.h"

namespace fs = std::filesystem;

namespace check {

namespace {

constexpr const char* kTool = "stats-check: ";
constexpr const char* kWorkFolder = ".work";

// Every message of the checker, escaped and on a line of its own.
class Messages {
public:
    explicit Messages(std::ostream& err) : err_(err) {}
    void operator()(const std::string& text) { err_ << kTool << Printable(text) << "\n" << std::flush; }
    std::ostream& Stream() { return err_; }

private:
    std::ostream& err_;
};

class Progress {
public:
    Progress(bool draw, size_t logs) : draw_(draw), logs_(logs) {}
    void Show(size_t logsDone, size_t qsosDone, std::ostream& err) {
        if (!draw_) return;
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
        const double rate = seconds > 0 ? logsDone / seconds : 0;
        const double left = rate > 0 && logs_ > logsDone ? (logs_ - logsDone) / rate : 0;
        const size_t width = 30, filled = logs_ ? width * std::min(logsDone, logs_) / logs_ : width;
        err << "\r[" << std::string(filled, '#') << std::string(width - filled, '.') << "] " << logsDone << "/"
            << logs_ << " logs, " << static_cast<long long>(seconds > 0 ? qsosDone / seconds : 0) << " QSOs/s, "
            << static_cast<long long>(left) << " s left   " << std::flush;
    }
    void Done(std::ostream& err) {
        if (draw_) err << "\n";
    }

private:
    bool draw_;
    size_t logs_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

std::string KindOf(fs::file_type type) {
    switch (type) {
        case fs::file_type::fifo: return "a pipe (FIFO)";
        case fs::file_type::socket: return "a socket";
        case fs::file_type::block: return "a block device";
        case fs::file_type::character: return "a character device";
        default: return "not a regular file";
    }
}

// Stage 1, inputs: the files, the output and work folders, the plug-in and the country file, each known to
// be usable before a worker starts.
struct CheckInputs {
    std::vector<std::string> files;  // as given or found; the workers get them absolute, so "-" is a file too
    std::vector<LeftOut> leftOut;
    fs::path outDir, workDir;
    std::string pluginPath, countryFile;
    const contest::Record* contest = nullptr;  // of the plug-in's set: the logs are checked as its logs
};

bool GatherInputs(const CheckOptions& o, CheckInputs& in, Messages& say) {
    std::error_code ec;
    in.outDir = fs::absolute(o.outDir, ec).lexically_normal();
    in.files = CollectLogFiles(o.inputs, in.leftOut, in.outDir.string());
    for (const LeftOut& l : in.leftOut) say(l.path + ": " + l.reason + " (left out)");
    if (in.files.empty()) {
        say("no log to check");
        return false;
    }
    in.pluginPath = fs::absolute(o.pluginPath.empty() ? DefaultPluginPath() : o.pluginPath, ec).string();
    in.countryFile = fs::absolute(o.countryFile, ec).string();
    {
        // Loaded once here, so a plug-in or a country file that cannot be used is said once, with its cause.
        PluginLibrary plugin;
        replay::CountryFile cty;
        std::string error;
        if (!plugin.Load(in.pluginPath, error) ||
            !(in.contest = replay::ContestOfPlugin(plugin, in.pluginPath, error)) ||
            !cty.Load(in.countryFile, error, in.contest->waeCountries)) {
            say(error);
            return false;
        }
    }
    // The plug-in rewrites its settings file through a new file at every log, and the workers write their
    // records and progress as they go: on a disk file system that cost more than all the scoring, so the work
    // folder is on a memory file system where there is one.
    fs::create_directories(in.outDir, ec);
    if (ec || !fs::is_directory(in.outDir, ec)) {
        say("cannot create the output folder " + in.outDir.string() + ": " + (ec ? ec.message() : "not a folder"));
        return false;
    }
    in.workDir = MemoryFolder();
    if (in.workDir.empty()) {
        in.workDir = in.outDir / kWorkFolder;
        fs::remove_all(in.workDir, ec);  // what a checker killed outright left behind
        fs::create_directories(in.workDir, ec);
    }
    if (ec) {
        say("cannot create " + in.workDir.string() + ": " + ec.message());
        return false;
    }
    return true;
}

// Stage 2, scoring: the workers, each a list of logs, the largest first to whichever worker has the least so
// far. A worker that dies loses the log it was scoring (named with the way it ended); the logs after it go to
// a new worker. Each finished worker's records are handed to `take` as soon as it ends.
struct Worker {
    std::unique_ptr<ChildProcess> process;
    std::vector<std::pair<size_t, std::string>> logs;
    fs::path dir;
    bool finished = false;
};

template <typename Take>
bool ScoreLogs(const CheckOptions& o, CheckInputs& in, Messages& say, Take take) {
    std::error_code ec;
    const int jobs =
        std::max(1, std::min<int>(o.jobs > 0 ? o.jobs : ProcessorCount(), static_cast<int>(in.files.size())));
    std::vector<std::pair<uintmax_t, size_t>> bySize;
    for (size_t i = 0; i < in.files.size(); ++i) bySize.emplace_back(fs::file_size(in.files[i], ec), i);
    std::stable_sort(bySize.begin(), bySize.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<uintmax_t> load(jobs, 0);
    std::vector<Worker> workers(jobs);
    for (const auto& [size, i] : bySize) {
        const size_t w = static_cast<size_t>(std::min_element(load.begin(), load.end()) - load.begin());
        load[w] += size + 1;
        workers[w].logs.emplace_back(i, fs::absolute(in.files[i], ec).string());
    }
    int started = 0;
    auto start = [&](Worker& w) {
        w.dir = in.workDir / ("w" + std::to_string(started++));
        fs::create_directories(w.dir, ec);
        {
            std::ofstream list(w.dir / "logs.txt", std::ios::binary | std::ios::trunc);
            WriteWorkList(list, w.logs);
        }
        w.process = std::make_unique<ChildProcess>();
        std::string error;
        if (!w.process->Start(ProgramPath(),
                              {"--worker", (w.dir / "logs.txt").string(), (w.dir / "results.txt").string(),
                               (w.dir / "plugin").string(), in.pluginPath, in.countryFile},
                              error)) {
            say(error);
            return false;
        }
        return true;
    };
    for (Worker& w : workers) {
        if (!start(w)) return false;
    }

    Progress progress(o.progress && ErrorIsTerminal(), in.files.size());
    size_t logsDone = 0, qsosDone = 0;
    for (size_t open = workers.size(); open > 0 && !StopRequested();) {
        size_t running = 0, runningQsos = 0;
        for (size_t wi = 0; wi < workers.size(); ++wi) {
            if (workers[wi].finished) continue;
            std::string how;
            bool clean = false, bySignal = false;
            if (!workers[wi].process->Finished(how, clean, bySignal)) {
                std::ifstream p(workers[wi].dir / "results.txt.progress", std::ios::binary);
                size_t l = 0, q = 0;
                if (p >> l >> q) running += l, runningQsos += q;
                continue;
            }
            workers[wi].finished = true;
            --open;
            Worker& w = workers[wi];
            std::map<size_t, size_t> position;  // file index -> place in the worker's list
            for (size_t k = 0; k < w.logs.size(); ++k) position[w.logs[k].first] = k;
            std::vector<bool> done(w.logs.size(), false);
            {
                std::ifstream results(w.dir / "results.txt", std::ios::binary);
                WorkerLog log;
                while (ReadWorkerLog(results, log)) {
                    auto k = position.find(log.index);
                    if (k == position.end() || done[k->second]) break;
                    done[k->second] = true;
                    ++logsDone;
                    qsosDone += log.qsos.size();
                    take(log);
                }
            }
            std::vector<std::pair<size_t, std::string>> missing;
            for (size_t k = 0; k < done.size(); ++k) {
                if (!done[k]) missing.push_back(w.logs[k]);
            }
            if (missing.empty()) continue;
            auto lose = [&](size_t index, const std::string& reason) {
                in.leftOut.push_back({in.files[index], "lost: " + reason, true, HeaderOfUncheckedLog(in.files[index]).call});
                say(in.files[index] + ": lost: " + reason);
            };
            if (!bySignal) {
                for (const auto& m : missing) lose(m.first, "its worker ended with " + how + " before scoring it");
                continue;
            }
            // The log it was scoring is lost; the logs after it go to a new worker.
            lose(missing[0].first, "its worker ended by " + how + " while scoring it");
            missing.erase(missing.begin());
            if (!missing.empty() && !StopRequested()) {
                Worker again;
                again.logs = std::move(missing);
                workers.push_back(std::move(again));
                if (!start(workers.back())) return false;
                ++open;
            }
        }
        progress.Show(logsDone + running, qsosDone + runningQsos, say.Stream());
        if (open > 0) SleepMilliseconds(50);
    }
    progress.Done(say.Stream());
    return !StopRequested();
}

// Stage 3, the contest's records: each log read back from its worker's record into the checker's plain
// records; the log's contest period is the one most of its QSOs fall in.
struct ContestRecords {
    const contest::Record* contest = nullptr;
    std::string pluginPath;
    CallTable calls;
    std::vector<LogInfo> infos;
    std::vector<CheckLog> logs;
    std::vector<bool> taken;  // by file index: a log that was read and scored
};

// The plug-in's reason for a QSO it logged outside the period it was given, and nothing else against it.
const std::string kOutsidePeriodReason = badqso::ReasonOfMessage(badqso::kOutsidePeriod);

void TakeLog(WorkerLog& w, const std::string& path, ContestRecords& c, std::vector<LeftOut>& leftOut,
             Messages& say) {
    if (!w.error.empty()) {
        // The worker names the file by the absolute path it was given; the messages name it as it was given.
        std::error_code ec;
        const std::string error = text::ReplaceAll(w.error, fs::absolute(path, ec).string(), path);
        leftOut.push_back(UncheckedLog(*c.contest, c.pluginPath, path, error));
        say(leftOut.back().reason + " (left out)");
        return;
    }
    c.taken[w.index] = true;
    LogInfo& info = c.infos[w.index];
    info.path = path;
    info.call = text::ToUpper(text::Trim(w.ownCall));
    info.header = std::move(w.header);
    info.claimedScore = w.claimedScore;
    info.pluginScore = w.pluginScore;
    info.qsos = w.qsos.size();
    info.skipped = std::move(w.skipped);
    info.cutAfterLine = w.cutAfterLine;
    info.linesCall = text::ToUpper(text::Trim(w.linesCall));
    CheckLog& log = c.logs[w.index];
    log.station = c.calls.Intern(StationOf(info.call));
    if (!info.linesCall.empty() && StationOf(info.linesCall) != StationOf(info.call)) {
        log.linesStation = c.calls.Intern(StationOf(info.linesCall));
    }
    log.qsos.reserve(w.qsos.size());
    std::vector<long long> minutes;
    minutes.reserve(w.qsos.size());
    for (WorkerQso& q : w.qsos) {
        minutes.push_back(q.minute);
        CheckQso c2;
        c2.line = q.line;
        c2.minute = q.minute;
        c2.band = static_cast<uint8_t>(q.band);
        c2.call = c.calls.Intern(q.call);
        c2.station = q.call.find('/') == std::string::npos ? c2.call : c.calls.Intern(StationOf(q.call));
        if (!q.exchSent.empty()) c2.exchSent = c.calls.Intern(q.exchSent);
        if (!q.exchRcvd.empty()) c2.exchRcvd = c.calls.Intern(q.exchRcvd);
        c2.counted = q.added && q.reason.empty();
        c2.timeOnly = q.added && q.reason == kOutsidePeriodReason;
        if (c2.counted || c2.timeOnly) {
            const CaseInsensitiveTextSet& bands = c.contest->AcceptedBands();
            const QsoCredit credit =
                CreditQso(*c.contest, w.ownPrefix, q.call, q.prefix, q.exchRcvd,
                          q.band >= 0 && static_cast<size_t>(q.band) < bands.Count() ? bands.At(q.band) : "");
            c2.points = static_cast<uint8_t>(credit.points);
            for (size_t k = 0; k < credit.multipliers.size() && k < c2.multipliers.size(); ++k) {
                c2.multipliers[k] = c.calls.Intern(credit.multipliers[k]);
            }
        } else {
            c2.pluginReason = c.calls.Intern(q.reason);
        }
        log.qsos.push_back(c2);
    }
    const ContestPeriod period = PeriodOfQso(*c.contest, replay::BusiestPeriodStart(*c.contest, minutes));
    log.periodStart = period.start;
    log.periodEnd = period.end;
}

// The intake, ending stage 3: the logs of another contest or weekend, and those another log of their station
// replaces, take no part; each is named with the reason, and so is what the check should say of the others.
void TakeIntake(const CheckOptions& o, const CheckInputs& in, ContestRecords& c, std::vector<LeftOut>& leftOut,
                Messages& say) {
    std::set<std::string> named;
    std::error_code ec;
    for (const std::string& u : o.use) named.insert(fs::absolute(u, ec).lexically_normal().string());
    std::vector<IntakeLog> logs;
    std::vector<size_t> index;
    for (size_t i = 0; i < c.infos.size(); ++i) {
        if (!c.taken[i]) continue;
        IntakeLog l;
        l.info = &c.infos[i];
        l.log = &c.logs[i];
        const auto time = fs::last_write_time(c.infos[i].path, ec);
        l.fileTime = ec ? 0 : static_cast<long long>(time.time_since_epoch().count());
        l.named = named.count(fs::absolute(c.infos[i].path, ec).lexically_normal().string()) > 0;
        logs.push_back(l);
        index.push_back(i);
    }
    const std::vector<IntakeDecision> decisions = DecideIntake(*c.contest, in.pluginPath, logs, c.calls);
    for (size_t k = 0; k < decisions.size(); ++k) {
        LogInfo& info = c.infos[index[k]];
        const IntakeDecision& d = decisions[k];
        if (!d.setApart.empty()) {
            c.taken[index[k]] = false;
            LeftOut l{info.path, d.setApart, false, info.call};
            l.replaced = d.replaced;
            leftOut.push_back(l);
            say(info.path + ": " + d.setApart + " (left out)");
            continue;
        }
        info.warnings = d.warnings;
        for (const std::string& w : d.warnings) say(info.path + ": " + w);
    }
}

// Stage 5, outputs: the reports, results and lists; false with the file and the reason when one cannot be
// written.
bool WriteFile(const fs::path& path, const std::string& content, Messages& say) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (out) out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (out) out.close();
    if (!out) {
        say("cannot write " + path.string() + ": " + std::strerror(errno));
        return false;
    }
    return true;
}

bool WriteOutputs(const CheckOptions& o, const fs::path& outDir, const ContestRecords& records,
                  const CrossCheckResult& results, const std::vector<LeftOut>& leftOut, Messages& say) {
    CheckedContest contest;
    contest.contest = records.contest;
    contest.infos = &records.infos;
    contest.logs = &records.logs;
    contest.results = &results;
    contest.calls = &records.calls;
    contest.leftOut = leftOut;
    contest.windowMinutes = o.crossCheck.windowMinutes;
    replay::ScpList scp;
    std::string scpError;
    const bool haveScp = scp.Load(o.scpFile, scpError);
    if (!haveScp) say(scpError + ": unique calls are not checked against it");
    contest.unlisted.resize(records.logs.size());
    for (size_t i = 0; i < records.logs.size(); ++i) {
        contest.unlisted[i].resize(records.logs[i].qsos.size(), false);
        for (size_t q = 0; q < records.logs[i].qsos.size(); ++q) {
            if (haveScp && results.logs[i].qsos[q].verdict == Verdict::unique) {
                contest.unlisted[i][q] = !scp.Contains(records.calls.Text(records.logs[i].qsos[q].call));
            }
        }
    }
    const std::vector<std::vector<int>> quoted = QuotedLines(contest);
    for (size_t i = 0; i < records.infos.size(); ++i) {
        contest.quotes.push_back(ReadQuotedLines(records.infos[i].path, quoted[i]));
    }

    bool written = true;
    for (size_t i = 0; i < records.infos.size() && !StopRequested(); ++i) {
        written = WriteFile(outDir / records.infos[i].reportName, LogCheckReport(contest, i), say) && written;
    }
    size_t lost = 0;
    for (const LeftOut& l : leftOut) lost += l.lost;
    // The lists over all logs are complete; where logs were lost they are named partial, and no earlier run's
    // list of the other kind stays beside them.
    std::error_code ec;
    for (const std::string& list : ListFileNames()) fs::remove(outDir / list, ec);
    auto name = [&](const char* complete) { return lost ? PartialName(complete) : std::string(complete); };
    written = WriteFile(outDir / name(kResultsCsv), ResultsCsv(contest), say) && written;
    written = WriteFile(outDir / name(kResultsHtml),
                        ResultsHtml(contest, records.contest->name + (records.logs.empty() ? "" : " " + ContestYears(contest)) + ": log check" +
                                                 (lost ? " (partial)" : "")),
                        say) &&
              written;
    written = WriteFile(outDir / name(kMissingLogsCsv), MissingLogsCsv(contest), say) && written;
    written = WriteFile(outDir / name(kToxicLogsCsv), ToxicLogsCsv(contest), say) && written;
    written = WriteFile(outDir / kFilesNotCheckedCsv, FilesNotCheckedCsv(contest), say) && written;
    return written;
}

}  // namespace

std::string Printable(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        // C1 controls in UTF-8 (U+0080 to U+009F) drive some terminals as their 7-bit forms do.
        const bool c1 = c == 0xC2 && i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(s[i + 1]) <= 0x9F;
        if (c < 0x20 || c == 0x7F || c1) {
            const unsigned char shown = c1 ? static_cast<unsigned char>(s[++i]) : c;
            out += text::Format("\\x%02X", shown);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::vector<std::string> CollectLogFiles(const std::vector<std::string>& inputs, std::vector<LeftOut>& leftOut,
                                         const std::string& outDir) {
    std::vector<std::string> files;
    std::set<std::string> seen;
    std::error_code ec;
    const fs::path out = outDir.empty() ? fs::path() : fs::absolute(outDir, ec).lexically_normal();
    // A file is taken when it is a regular file or a link to one; anything else is named, never opened.
    auto consider = [&](const fs::path& path, bool named) {
        std::error_code e;
        const fs::path absolute = fs::absolute(path, e).lexically_normal();
        const fs::file_status link = fs::symlink_status(path, e);
        const fs::file_status target = fs::status(path, e);
        if (!fs::exists(link)) {
            leftOut.push_back({path.string(), "no such file or folder"});
        } else if (e || !fs::exists(target)) {
            leftOut.push_back({path.string(), "a link to nothing, or to itself: " + e.message()});
        } else if (fs::is_directory(target)) {
            if (!named) leftOut.push_back({path.string(), "a link to a folder: not followed"});
            return true;
        } else if (!fs::is_regular_file(target)) {
            leftOut.push_back({path.string(), KindOf(target.type()) + ": not opened"});
        } else if (!named && !out.empty() && absolute.parent_path() == out &&
                   IsOutputFileName(absolute.filename().string())) {
            // The checker's own files where --out is the folder of logs.
        } else if (seen.insert(absolute.string()).second) {
            files.push_back(path.string());
        }
        return false;
    };
    for (const std::string& input : inputs) {
        const fs::path path(input);
        std::error_code e;
        if (!fs::is_directory(fs::status(path, e))) {
            consider(path, true);
            continue;
        }
        std::vector<fs::path> found;
        fs::recursive_directory_iterator it(path, e), end;
        for (; !e && it != end; it.increment(e)) {
            const std::string name = it->path().filename().string();
            std::error_code de;
            const bool isDir = it->is_directory(de) && !it->is_symlink(de);
            if ((!name.empty() && name[0] == '.') ||
                (isDir && !out.empty() && fs::absolute(it->path(), de).lexically_normal() == out)) {
                if (isDir) it.disable_recursion_pending();
                continue;
            }
            if (!isDir) found.push_back(it->path());
        }
        if (e) leftOut.push_back({input, "cannot read the whole folder: " + e.message()});
        std::sort(found.begin(), found.end());
        for (const fs::path& f : found) consider(f, false);
    }
    return files;
}

int RunCheck(const CheckOptions& o, std::ostream& err) {
    Messages say(err);
    InstallStopHandlers();
    CheckInputs in;
    if (!GatherInputs(o, in, say)) return kExitRefused;
    // The work folder goes whatever the outcome, when the checker is stopped too.
    struct RemoveOnExit {
        fs::path dir;
        ~RemoveOnExit() {
            std::error_code ignored;
            fs::remove_all(dir, ignored);
        }
    } removeWork{in.workDir};

    ContestRecords records;
    records.contest = in.contest;
    records.pluginPath = in.pluginPath;
    records.infos.resize(in.files.size());
    records.logs.resize(in.files.size());
    records.taken.resize(in.files.size(), false);
    const bool scored = ScoreLogs(o, in, say, [&](WorkerLog& w) {
        if (w.index < in.files.size()) TakeLog(w, in.files[w.index], records, in.leftOut, say);
    });
    if (!scored) return kExitRefused;
    TakeIntake(o, in, records, in.leftOut, say);

    // Only logs scored by the plug-in are checked and take part as other stations.
    ContestRecords kept;
    kept.contest = records.contest;
    kept.calls = std::move(records.calls);
    for (size_t i = 0; i < in.files.size(); ++i) {
        if (!records.taken[i]) continue;
        kept.infos.push_back(std::move(records.infos[i]));
        kept.logs.push_back(std::move(records.logs[i]));
    }
    if (kept.logs.empty()) {
        say("no log of this contest could be checked");
        return kExitRefused;
    }
    CrossCheckOptions crossCheck = o.crossCheck;
    crossCheck.contest = kept.contest;
    const CrossCheckResult results = CrossCheck(kept.logs, kept.calls, crossCheck);
    if (StopRequested()) return kExitRefused;
    // A log whose header names another station than its QSO lines goes by the call it was checked as.
    for (size_t i = 0; i < kept.infos.size(); ++i) {
        const LogResult& r = results.logs[i];
        if (r.headerStation == CallTable::kNone) continue;
        LogInfo& info = kept.infos[i];
        info.headerCall = info.call;
        if (r.station != r.headerStation) info.call = info.linesCall;
        say(info.path + ": " + HeaderCallNote(info, r));
    }
    std::vector<std::string> calls;
    for (const LogInfo& info : kept.infos) calls.push_back(info.call);
    const std::vector<std::string> names = ReportFileNames(calls);
    for (size_t i = 0; i < kept.infos.size(); ++i) kept.infos[i].reportName = names[i];
    if (!WriteOutputs(o, in.outDir, kept, results, in.leftOut, say)) return kExitRefused;
    if (StopRequested()) return kExitRefused;

    size_t offsets = 0, qsos = 0, lost = 0;
    for (const LogResult& r : results.logs) offsets += r.clockOffset != 0;
    for (const LogInfo& info : kept.infos) qsos += info.qsos;
    for (const LeftOut& l : in.leftOut) lost += l.lost;
    say(std::to_string(kept.logs.size()) + " of " + std::to_string(in.files.size()) + " logs checked, " +
        std::to_string(qsos) + " QSOs, " + std::to_string(offsets) + " clocks off, " +
        std::to_string(results.missing.size()) + " missing logs; " + (lost ? "PARTIAL results" : "results") +
        " in " + in.outDir.string());
    if (lost) return kExitPartial;
    return in.leftOut.empty() ? kExitChecked : kExitLeftOut;
}

}  // namespace check

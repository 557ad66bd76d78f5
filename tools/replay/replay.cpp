#include "replay.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <sstream>

#include "analysis.h"
#include "app/plugin_object.h"
#include "band_mode.h"
#include "common/text.h"
#include "contest_dates.h"
#include "dialog_operator.h"
#include "engine/bad_qso_file.h"
#include "engine/host_version.h"
#include "contest/registry.h"
#include "log_readers.h"
#include "platform/settings.h"
#include "plugin/plugin_library.h"

namespace fs = std::filesystem;

namespace replay {

namespace {

constexpr const char* kTool = "stats-replay: ";
constexpr const char* kEmpty = "";

#if defined(_WIN32)
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

// The plug-in's settings file in `folder` ("": the name relative to the working folder), in this system's
// separators.
std::string SettingsFilePath(const std::string& folder) {
    std::string name = Settings::FileName();
    std::replace(name.begin(), name.end(), '\\', kSeparator);
    return folder.empty() ? name : (std::filesystem::path(folder) / name).string();
}

// The current directory for as long as the plug-in runs, then back to where the operator was.
class WorkingDirectory {
public:
    bool Enter(const fs::path& dir, std::string& error) {
        std::error_code ec;
        previous_ = fs::current_path(ec);
        fs::current_path(dir, ec);
        if (ec) {
            error = "cannot work in " + dir.string() + ": " + ec.message();
            return false;
        }
        entered_ = true;
        return true;
    }
    ~WorkingDirectory() {
        std::error_code ec;
        if (entered_) fs::current_path(previous_, ec);
    }

private:
    fs::path previous_;
    bool entered_ = false;
};

std::optional<long long> ParseScore(const std::string& s) {
    std::string t = text::Trim(s);
    if (t.empty() || t.size() > 15) return std::nullopt;
    size_t i = t[0] == '-' ? 1 : 0;
    if (i == t.size()) return std::nullopt;
    for (size_t j = i; j < t.size(); ++j) {
        if (t[j] < '0' || t[j] > '9') return std::nullopt;
    }
    return std::stoll(t);
}

// The plug-in writes a line to its bad-QSO file, named after the contest's end, for each QSO it rejects or
// logs without counting; the line ends in the reason ("...  599  NY   WRONG MODE !!!"). Reading what each
// AddData0 appended gives the plug-in's own reasons, whatever its rules are.
class BadQsoReasons {
public:
    // Opened once after the reset; each QSO then costs a seek on the open file to learn its size rather than
    // a lookup of its name (the plug-in flushes every line it writes).
    BadQsoReasons(const contest::Record& contest, const COleDateTime& contestEnd)
        : in_(contest.BadQsoFileName(contestEnd), std::ios::binary) {
        Take();
    }
    // The reasons of the lines written since the last call, joined by "; "; empty when there are none.
    std::string Take() {
        if (!in_.is_open()) return "";
        in_.clear();
        in_.seekg(0, std::ios::end);
        const std::streamoff size = in_.tellg();
        if (size <= mark_) return "";
        in_.seekg(mark_);
        std::string added(static_cast<size_t>(size - mark_), '\0');
        in_.read(&added[0], static_cast<std::streamsize>(added.size()));
        added.resize(static_cast<size_t>(in_.gcount()));
        mark_ += static_cast<std::streamoff>(added.size());
        std::string reasons;
        std::istringstream lines(added);
        for (std::string line; std::getline(lines, line);) {
            const std::string reason = badqso::ReasonOfLine(line);
            if (!reason.empty()) reasons += (reasons.empty() ? "" : "; ") + reason;
        }
        return reasons;
    }

private:
    std::ifstream in_;
    std::streamoff mark_ = 0;
};

std::string Where(const ParsedLog& log, int line) { return text::Format("%s:%d: ", log.fileName.c_str(), line); }

struct CheckQuestion {
    std::string call, band, mode;
};

CheckQuestion ParseCheck(const std::string& question, const ParsedLog& log) {
    std::vector<std::string> parts = text::Split(question, ':');
    CheckQuestion q;
    q.call = text::ToUpper(text::Trim(parts[0]));
    // Without band and mode the question is asked where the operator last was.
    q.band = log.qsos.empty() ? "20m" : log.qsos.back().band;
    q.mode = log.qsos.empty() ? "RTTY" : log.qsos.back().mode;
    if (parts.size() > 1 && !text::Trim(parts[1]).empty()) q.band = NormaliseBandName(parts[1]);
    if (parts.size() > 2 && !text::Trim(parts[2]).empty()) q.mode = text::Trim(parts[2]);
    return q;
}

constexpr const char* kPeriodFormat = "%Y-%m-%d %H%M";

// Where the plug-in keeps the claimed score it computed.
const char* ClaimedKey() { return CabrilloHeaderTagOf(&CabrilloHeaderFields::claimed).settingsKey; }
constexpr double kCountryFileMaxAgeDays = 365.0;

// The date of the country file's edition; null when it names none.
COleDateTime CountryFileEdition(const CountryFile& cty) {
    const std::string& v = cty.Version();
    if (v.size() != 8) return COleDateTime::Null();
    return COleDateTime::FromFields(std::stoi(v.substr(0, 4)), std::stoi(v.substr(4, 2)), std::stoi(v.substr(6, 2)));
}

// The country file is older than the contest by more than a year: calls issued since may get no or a wrong
// prefix.
bool CountryFileTooOld(const COleDateTime& edition, const COleDateTime& start) {
    return edition.IsValid() && start.IsValid() && std::floor(start.m_dt - edition.m_dt) > kCountryFileMaxAgeDays;
}

// "1 line", "2 lines", "0 lines".
std::string Counted(size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// "156 WRONG MODE (DG), 2 WRONG BAND (30m)": most first.
std::string ReasonList(const std::map<std::string, size_t>& reasons) {
    std::vector<std::pair<std::string, size_t>> sorted(reasons.begin(), reasons.end());
    std::stable_sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    std::string list;
    for (const auto& r : sorted) list += (list.empty() ? "" : ", ") + std::to_string(r.second) + " " + r.first;
    return list;
}

// The native plug-in's header dialog has no screen: it confirms the answer installed here. On Windows the
// dialog operator types the same texts into the real dialog.
void InstallHeaderAnswer(const PluginLibrary& plugin, const std::vector<HeaderValue>& header) {
    if (!plugin.SetHeaderDialogAnswer) return;
    std::vector<std::string> texts;
    for (const HeaderValue& v : header) texts.push_back(DialogText(v.value));
    std::vector<const char*> labelPointers, textPointers;
    for (size_t i = 0; i < header.size(); ++i) {
        labelPointers.push_back(header[i].field->tag);
        textPointers.push_back(texts[i].c_str());
    }
    plugin.SetHeaderDialogAnswer(static_cast<int>(header.size()), labelPointers.data(), textPointers.data());
}

// CheckCall0 as the host asks it while the operator types a call: the call, its band twice, mode and prefix.
int AskCheckCall(const PluginLibrary& plugin, const std::string& call, const std::string& band,
                 const std::string& mode, const std::string& prefix) {
    char out1[256] = {0}, out2[256] = {0};
    return plugin.CheckCall0(call.c_str(), 0, 0, mode.c_str(), kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty,
                             kEmpty, kEmpty, prefix.c_str(), 0, 0, 0, 0.0, 0.0, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty,
                             band.c_str(), band.c_str(), out1, out2);
}

// Each compared log replayed through the plug-in as the own one was, in a folder of its own inside the output
// folder; one that cannot be used is named with its reason and left out.
Comparison ReplayCompared(const ReplayOptions& o, const std::vector<fs::path>& logs, const std::string& countryFile,
                          const fs::path& plugin, const fs::path& outDir, std::ostream& err) {
    Comparison compared;
    for (size_t i = 0; i < logs.size(); ++i) {
        ReplayOptions other;
        other.logPath = logs[i].string();
        other.outDir = (outDir / ("compare-" + std::to_string(i + 1) + "-" + logs[i].stem().string())).string();
        other.pluginPath = plugin.string();
        other.countryFile = countryFile;
        other.analysis = true;
        other.keepAnalysis = true;
        other.offMinutes = o.offMinutes;
        std::ostringstream otherOut, otherErr;
        ReplaySummary summary;
        if (RunReplay(other, otherOut, otherErr, &summary) != 0 || !summary.analysis) {
            std::string reason = text::Trim(otherErr.str());
            if (reason.rfind(kTool, 0) == 0) reason.erase(0, std::string(kTool).size());
            err << kTool << "--compare " << o.compare[i] << " left out: " << reason << "\n";
            compared.leftOut.push_back(LeftOut{o.compare[i], reason});
            continue;
        }
        // The compared replay's own messages, each marked as the compared log's.
        std::istringstream lines(otherErr.str());
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind(kTool, 0) == 0) line.erase(0, std::string(kTool).size());
            err << kTool << "--compare " << o.compare[i] << ": " << line << "\n";
        }
        compared.stations.push_back(std::move(*summary.analysis));
    }
    return compared;
}

}  // namespace

const char* CheckCodeMeaning(int code) {
    switch (code) {
        case 0: return "dupe: this call is in the log on this band";
        case 1: return "worked before: the log holds a QSO with this multiplier (or rules failure for host 2.19/2.20)";
        case 2: return "new";
        case 3: return "W/VE station without a matching record";
        case 4: return "rules failure: band or mode not allowed in this contest";
        default: return "unknown answer";
    }
}

bool ReadInputs(const ReplayOptions& o, ReplayInputs& in, std::string& error) {
    if (!ReadLogFile(o.logPath, *in.contest, in.log, error)) return false;
    if (!in.cty.Load(o.countryFile, error, in.contest->waeCountries)) return false;
    if (o.analysis && !o.keepAnalysis) in.scpRead = in.scp.Load(o.scpFile, in.scpNote);
    return true;
}

ReplayPlan PlanReplay(const ReplayOptions& o, const ReplayInputs& in, std::vector<std::string>& warnings) {
    ReplayPlan plan;
    plan.ownCall = !o.ownCall.empty() ? o.ownCall : in.log.ownCall;
    if (plan.ownCall.empty()) warnings.push_back("the log names no own call; give it with --call CALL");
    plan.ownPrefix = in.cty.PrefixOf(plan.ownCall);
    if (!plan.ownCall.empty() && plan.ownPrefix.empty()) {
        warnings.push_back("no DXCC prefix for the own call " + plan.ownCall + " (passed as \"\")");
    }
    plan.start = o.start ? *o.start : ContestStartOfLog(*in.contest, in.log.qsos);
    plan.end = o.end ? *o.end : in.contest->PeriodEnd(plan.start);
    COleDateTime edition = CountryFileEdition(in.cty);
    if (CountryFileTooOld(edition, plan.start)) {
        warnings.push_back("the country file " + o.countryFile + " is of " + edition.Format("%Y-%m-%d") +
                           ", more than a year before the contest: calls issued since may get no or a wrong "
                           "prefix; give a newer one with --cty FILE");
    }
    if (o.cabrillo) {
        plan.header = ComposeHeader(o.headers, in.log.header, plan.ownCall, o.ownCall.empty() ? "the log" : "--call");
    }
    return plan;
}

std::vector<QsoOutcome> ReplayQsos(const PluginLibrary& plugin, const ReplayOptions& o, const ReplayInputs& in,
                                   const ReplayPlan& plan, const std::string& workingFolder) {
    std::vector<QsoOutcome> answers;
    if (o.cabrillo) InstallHeaderAnswer(plugin, plan.header);
    if (o.html) plugin.setVersion(o.hostVersion.c_str());

    std::string iniFolder = workingFolder;
    if (iniFolder.empty() || iniFolder.back() != kSeparator) iniFolder += kSeparator;
    COleDateTime start = plan.start, end = plan.end;
    plugin.ResetStats0(iniFolder.c_str(), o.cabrillo ? 1 : 0, plan.ownCall.c_str(), &start, &end, kEmpty, kEmpty,
                       kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, plan.ownPrefix.c_str(), 0, 0, 0, 0.0,
                       0.0, kEmpty, kEmpty, kEmpty);

    const COleDateTime noTime = COleDateTime::Null();
    BadQsoReasons reasons(*in.contest, plan.end);
    for (const LogQso& q : in.log.qsos) {
        COleDateTime time = q.time;
        COleDateTime t4 = noTime, t5 = noTime, t6 = noTime;
        const std::string& qsoOwnCall = o.ownCall.empty() && !q.ownCall.empty() ? q.ownCall : plan.ownCall;
        QsoOutcome answer;
        answer.prefix = in.cty.PrefixOf(q.call);
        answer.checkCode = AskCheckCall(plugin, q.call, q.band, q.mode, answer.prefix);
        answer.added = plugin.AddData0(qsoOwnCall.c_str(), q.call.c_str(), &time, &t4, &t5, &t6, 0, q.frequencyHz,
                                       q.mode.c_str(), q.rstSent.c_str(), q.rstRcvd.c_str(), q.exchSent.c_str(),
                                       q.exchRcvd.c_str(), kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty,
                                       kEmpty, kEmpty, answer.prefix.c_str(), 0, 0, 0, 0.0, 0.0, kEmpty, kEmpty,
                                       kEmpty, q.band.c_str(), kEmpty) != 0;
        answer.reason = reasons.Take();
        answers.push_back(std::move(answer));
    }
    return answers;
}

PluginResult FinishReplay(const PluginLibrary& plugin, const ReplayOptions& o, const ReplayInputs& in) {
    PluginResult answers;
    int resultFlag = 0;
    const char* report = plugin.GetResult0(&resultFlag);
    answers.report = report ? report : "";
    for (const std::string& question : o.checks) {
        CheckQuestion c = ParseCheck(question, in.log);
        CheckAnswer a{c.call, c.band, c.mode, in.cty.PrefixOf(c.call)};
        a.code = AskCheckCall(plugin, a.call, a.band, a.mode, a.prefix);
        answers.checks.push_back(a);
    }
    answers.pluginScore = ParseScore(Settings::GetString(ClaimedKey(), 50));
    return answers;
}

ReplayOutcomes MapOutcomes(const ReplayInputs& in, const ReplayPlan& plan, std::vector<QsoOutcome> answers) {
    ReplayOutcomes r;
    ReplaySummary& summary = r.summary;
    const ParsedLog& log = in.log;
    summary.qsosRead = log.qsos.size();
    summary.linesSkipped = log.skipped.size();
    summary.claimedScore = log.claimedScore;
    for (size_t i = 0; i < log.qsos.size() && i < answers.size(); ++i) {
        const LogQso& q = log.qsos[i];
        QsoOutcome& outcome = answers[i];
        if (WholeMinutes(q.time) < WholeMinutes(plan.start) || WholeMinutes(q.time) >= WholeMinutes(plan.end)) {
            ++summary.outsidePeriod;
            // The plug-in names a QSO it logged outside the period it was given; one it refused for another
            // reason is named here.
            if (!outcome.added) {
                r.messages.push_back(Where(log, q.line) + "outside the contest period: " + q.call + " " +
                                     q.time.Format(kPeriodFormat));
            }
        }
        if (outcome.prefix.empty()) {
            ++summary.prefixesUnresolved;
            r.messages.push_back(Where(log, q.line) + "no DXCC prefix for " + q.call + " (passed as \"\")");
        }
        const std::string band = q.band.empty() ? "(no band)" : q.band;
        if (outcome.added) {
            ++summary.added;
            // An exchange the contest did not accept is named as it was judged.
            for (const std::string& reason : in.contest->ExchangeReasons()) {
                if (outcome.reason.find(reason) == std::string::npos) continue;
                const std::string shown = in.contest->JudgeExchange(q.call, outcome.prefix, q.exchRcvd).shown;
                outcome.reason = text::ReplaceAll(outcome.reason, reason, reason + " (" + shown + ")");
            }
            if (!outcome.reason.empty()) {
                ++summary.notCounted;
                ++summary.notCountedReasons[outcome.reason];
                r.messages.push_back(Where(log, q.line) + "logged by the plug-in, not counted: " + q.call + " " +
                                     band + " " + q.mode + ": " + outcome.reason);
            }
        } else {
            ++summary.rejected;
            if (outcome.reason.empty()) outcome.reason = "no reason in the bad-QSO file";
            r.messages.push_back(Where(log, q.line) + "refused by the plug-in: " + q.call + " " + band + " " +
                                 q.mode + ": " + outcome.reason);
            if (outcome.reason.find("MODE") != std::string::npos) outcome.reason += " (" + q.mode + ")";
            if (outcome.reason.find("BAND") != std::string::npos) {
                outcome.reason += " (" + (q.band.empty() ? "no band" : q.band) + ")";
            }
            ++summary.rejections[outcome.reason];
        }
    }
    summary.outcomes = std::move(answers);
    return r;
}

namespace {

// Where the compared logs, the country file and the plug-in are, found before the output folder became the
// current one.
struct ComparePaths {
    std::vector<fs::path> logs;
    std::string countryFile;
    fs::path plugin;
};

// Outputs: the report on `out` and in its file, the answers to --check, the analysis page (or, for a
// compared log, the analysis in the summary).
void WriteOutputs(const ReplayOptions& o, const ReplayInputs& in, const ReplayPlan& plan,
                  const PluginResult& answers, ReplaySummary& summary, const fs::path& outDir,
                  const ComparePaths& comparePaths, std::ostream& out, std::ostream& err) {
    out.write(answers.report.data(), static_cast<std::streamsize>(answers.report.size()));
    {
        std::ofstream file(o.html ? "report.html" : "report.txt", std::ios::binary | std::ios::trunc);
        file << answers.report;
    }
    for (const CheckAnswer& c : answers.checks) {
        out << "CheckCall0 " << c.call << " " << c.band << " " << c.mode << " (prefix "
            << (c.prefix.empty() ? "\"\"" : c.prefix) << "): " << c.code << " " << CheckCodeMeaning(c.code) << "\n";
    }
    out.flush();

    if (o.analysis) {
        AnalysisInput analysis;
        analysis.contest = in.contest;
        analysis.pluginName = in.pluginName;
        analysis.scpNote = in.scpNote;
        if (in.scpRead) analysis.scp = &in.scp;
        analysis.scpFile = o.scpFile;
        analysis.countryFile = o.countryFile;
        const COleDateTime edition = CountryFileEdition(in.cty);
        if (edition.IsValid()) analysis.countryEdition = edition.Format("%Y-%m-%d");
        analysis.countryFileOld = CountryFileTooOld(edition, plan.start);
        analysis.log = &in.log;
        analysis.outcomes = &summary.outcomes;
        analysis.ownCall = plan.ownCall;
        analysis.ownPrefix = plan.ownPrefix;
        analysis.start = plan.start;
        analysis.end = plan.end;
        analysis.pluginScore = summary.pluginScore;
        analysis.offThreshold = o.offMinutes;
        analysis.cty = &in.cty;
        if (o.keepAnalysis) {
            analysis.callsToCheck = false;
            summary.analysis = Analyse(analysis);
        } else {
            const Analysis own = Analyse(analysis);
            const Comparison compared = ReplayCompared(o, comparePaths.logs, comparePaths.countryFile,
                                                       comparePaths.plugin, outDir, err);
            std::ofstream page(kAnalysisFileName, std::ios::binary | std::ios::trunc);
            page << AnalysisPage(own, compared);
            if (!page) err << kTool << "cannot write " << (outDir / kAnalysisFileName).string() << "\n";
        }
    }
}

// Summary: the counts, the rejections by reason, where the header came from, the scores, the files.
void PrintSummary(const ReplayOptions& o, const ReplayInputs& in, const ReplayPlan& plan,
                  const ReplaySummary& summary, const fs::path& outDir, std::ostream& err) {
    const ParsedLog& log = in.log;
    // What the plug-in refused (AddData0 answered 0) and what it logged without counting are told apart: a
    // reader who sees nothing refused must not take it that everything counted.
    err << kTool << log.fileName << " (" << LogFormatName(log.format) << "): " << Counted(summary.qsosRead, "QSO", "QSOs")
        << " read: " << summary.added - summary.notCounted << " counted, " << summary.notCounted
        << " logged but not counted, " << summary.rejected << " refused by the plug-in; "
        << Counted(summary.linesSkipped, "line", "lines") << " skipped, "
        << Counted(summary.prefixesUnresolved, "prefix", "prefixes") << " not resolved, "
        << Counted(summary.outsidePeriod, "QSO", "QSOs") << " outside the contest period "
        << plan.start.Format(kPeriodFormat) << " to " << plan.end.Format(kPeriodFormat) << "\n";
    if (!summary.rejections.empty()) {
        err << kTool << "refused by the plug-in (AddData0 answered 0): " << ReasonList(summary.rejections) << "\n";
    }
    if (!summary.notCountedReasons.empty()) {
        err << kTool << "logged by the plug-in, not counted: " << ReasonList(summary.notCountedReasons) << "\n";
    }
    if (o.cabrillo) err << kTool << HeaderOriginLine(plan.header) << "\n";
    err << kTool << "score: plug-in "
        << (summary.pluginScore ? std::to_string(*summary.pluginScore) : std::string("(none)")) << ", log claims "
        << (summary.claimedScore ? std::to_string(*summary.claimedScore) : std::string("nothing"));
    if (summary.pluginScore && summary.claimedScore) {
        const long long difference = static_cast<long long>(*summary.pluginScore) - *summary.claimedScore;
        if (difference == 0) {
            err << " (the same)";
        } else {
            err << " (the plug-in's is " << (difference > 0 ? difference : -difference)
                << (difference > 0 ? " higher)" : " lower)");
        }
    }
    err << "\n";
    std::error_code ec;
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(outDir, ec)) {
        if (entry.is_regular_file(ec)) files.push_back(entry.path().filename().string());
    }
    std::sort(files.begin(), files.end());
    const COleDateTime edition = CountryFileEdition(in.cty);
    err << kTool << "country file " << o.countryFile;
    if (edition.IsValid()) err << " of " << edition.Format("%Y-%m-%d");
    if (in.scpRead) err << "; super-check-partial list " << o.scpFile;
    err << "\n";
    err << kTool << "files in " << outDir.string() << ":";
    for (const std::string& f : files) err << " " << f;
    err << " (settings in " << SettingsFilePath("") << ")\n";
}

}  // namespace

const contest::Record* ContestOfPlugin(const PluginLibrary& plugin, const std::string& path, std::string& error) {
    const char* setName = plugin.GetSetName ? plugin.GetSetName(0) : nullptr;
    const contest::Record* contest = setName ? contest::FindBySetName(setName) : nullptr;
    if (contest == nullptr) {
        error = path + " offers no contest this program knows (its first set is " +
                (setName ? "\"" + std::string(setName) + "\"" : std::string("not named")) + ")";
    } else {
        // The plug-in keeps its settings in its contest's file: the tool reads and writes the same one.
        Settings::UseFile(contest->settingsFileName);
    }
    return contest;
}

const contest::Record* ContestForHelp(const ReplayOptions& o, std::string& plugin) {
    std::error_code ec;
    const fs::path path = fs::absolute(o.pluginPath.empty() ? DefaultPluginPath() : o.pluginPath, ec);
    plugin = path.filename().string();
    PluginLibrary library;
    std::string error;
    const char* settings = Settings::FileName();
    const contest::Record* contest = library.Load(path.string(), error) ? ContestOfPlugin(library, plugin, error) : nullptr;
    Settings::UseFile(settings);
    return contest;
}

int RunReplay(const ReplayOptions& o, std::ostream& out, std::ostream& err, ReplaySummary* summaryOut) {
    // The plug-in's contest names the settings file for the run; a caller that runs more than one replay (a
    // test, another contest's) gets its own back.
    struct KeepSettingsFile {
        const char* name = Settings::FileName();
        ~KeepSettingsFile() { Settings::UseFile(name); }
    } keepSettingsFile;
    std::string error;
    std::error_code ec;
    // The plug-in first: its set names the contest the log is read and scored as.
    fs::path pluginPath = fs::absolute(o.pluginPath.empty() ? DefaultPluginPath() : o.pluginPath, ec);
    PluginLibrary plugin;
    ReplayInputs in;
    if (!plugin.Load(pluginPath.string(), error) || !(in.contest = ContestOfPlugin(plugin, pluginPath.string(), error)) ||
        !ReadInputs(o, in, error)) {
        err << kTool << error << "\n";
        return 2;
    }
    in.pluginName = PluginNameOf(pluginPath.string());
    // The compared logs and the country file, found before the output folder becomes the current one.
    ComparePaths comparePaths;
    if (o.analysis) {
        for (const std::string& other : o.compare) comparePaths.logs.push_back(fs::absolute(other, ec));
    }
    comparePaths.countryFile = fs::absolute(o.countryFile, ec).string();
    if (o.analysis && !o.keepAnalysis && !in.scpRead) {
        err << kTool << in.scpNote << ": the calls worked once are not checked (--scp FILE names another)\n";
    }
    comparePaths.plugin = pluginPath;
    if (o.cabrillo && !DialogOperator::HasWindows() && !plugin.SetHeaderDialogAnswer) {
        err << kTool << pluginPath.string() << " takes no Cabrillo header (it lacks SetHeaderDialogAnswer)\n";
        return 2;
    }
    fs::path outDir = fs::absolute(o.outDir.empty() ? "stats-out" : o.outDir, ec);
    fs::create_directories(outDir / "Plugins", ec);
    if (ec) {
        err << kTool << "cannot create " << (outDir / "Plugins").string() << ": " << ec.message() << "\n";
        return 2;
    }
    WorkingDirectory cwd;
    if (!cwd.Enter(outDir, error)) {
        err << kTool << error << "\n";
        return 2;
    }

    const ParsedLog& log = in.log;
    for (const LogProblem& p : log.skipped) err << Where(log, p.line) << "skipped: " << p.reason << "\n";
    for (const LogProblem& p : log.notes) err << Where(log, p.line) << "note: " << p.reason << "\n";
    std::vector<std::string> warnings;
    const ReplayPlan plan = PlanReplay(o, in, warnings);
    for (const std::string& w : warnings) err << kTool << w << "\n";

    // A replay shows no status windows unless asked: with "Start" at 1 the first reset starts none.
    if (!o.windows && !Settings::WriteString(CTestApp::kStartKey, "1")) {
        err << kTool << "cannot write " << SettingsFilePath(outDir.string()) << "\n";
    }
    if (!o.headers.empty() && !o.cabrillo) err << kTool << "--header has no effect without --cabrillo\n";
    if (!o.analysis && (o.scpFile != DefaultScpFilePath() || o.offMinutes != 0 || !o.compare.empty())) {
        err << kTool << "--scp, --off-time and --compare have no effect without --analysis\n";
    }
    if (!o.hostVersion.empty()) {
        std::ofstream ini(hostversion::kHostIniName, std::ios::binary | std::ios::trunc);
        ini << hostversion::HostIniText(o.hostVersion);
    }

    DialogOperator dialogOperator(plan.header, in.contest->SetName());
    if (o.cabrillo) dialogOperator.Start();
    ReplayOutcomes outcomes = MapOutcomes(in, plan, ReplayQsos(plugin, o, in, plan, outDir.string()));
    for (const std::string& m : outcomes.messages) err << m << "\n";
    PluginResult answers = FinishReplay(plugin, o, in);
    dialogOperator.Stop();
    for (const std::string& e : dialogOperator.TakeEvents()) err << e << "\n";
    plugin.Unload();  // the plug-in's exit may still write its settings here

    ReplaySummary& summary = outcomes.summary;
    summary.report = answers.report;
    for (const CheckAnswer& c : answers.checks) summary.checkCodes.push_back(c.code);
    summary.pluginScore = answers.pluginScore;
    WriteOutputs(o, in, plan, answers, summary, outDir, comparePaths, out, err);
    PrintSummary(o, in, plan, summary, outDir, err);

    if (summaryOut) *summaryOut = summary;
    return 0;
}

}  // namespace replay

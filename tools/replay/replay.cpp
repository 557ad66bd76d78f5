#include "replay.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <ostream>

#include "band_mode.h"
#include "common/text.h"
#include "contest_dates.h"
#include "dialog_operator.h"
#include "log_readers.h"
#include "platform/settings.h"
#include "plugin_library.h"

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

std::string Where(const ParsedLog& log, int line) { return text::Format("%s:%d: ", log.fileName.c_str(), line); }

struct CheckQuestion {
    std::string call, band, mode;
};

CheckQuestion ParseCheck(const std::string& question, const ParsedLog& log) {
    std::vector<std::string> parts = text::Split(question, ':');
    CheckQuestion q;
    q.call = text::Trim(parts[0]);
    // Without band and mode the question is asked where the operator last was.
    q.band = log.qsos.empty() ? "20m" : log.qsos.back().band;
    q.mode = log.qsos.empty() ? "RTTY" : log.qsos.back().mode;
    if (parts.size() > 1 && !text::Trim(parts[1]).empty()) q.band = NormaliseBandName(parts[1]);
    if (parts.size() > 2 && !text::Trim(parts[2]).empty()) q.mode = text::Trim(parts[2]);
    return q;
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

int RunReplay(const ReplayOptions& o, std::ostream& out, std::ostream& err, ReplaySummary* summaryOut) {
    ReplaySummary summary;
    std::string error;

    ParsedLog log;
    if (!ReadLogFile(o.logPath, log, error)) {
        err << kTool << error << "\n";
        return 2;
    }
    CountryFile cty;
    if (!cty.Load(o.countryFile, error)) {
        err << kTool << error << "\n";
        return 2;
    }
    std::error_code ec;
    fs::path pluginPath = fs::absolute(o.pluginPath.empty() ? DefaultPluginPath() : o.pluginPath, ec);
    PluginLibrary plugin;
    if (!plugin.Load(pluginPath.string(), error)) {
        err << kTool << error << "\n";
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

    for (const LogProblem& p : log.skipped) err << Where(log, p.line) << "skipped: " << p.reason << "\n";
    for (const LogProblem& p : log.notes) err << Where(log, p.line) << "note: " << p.reason << "\n";
    summary.qsosRead = log.qsos.size();
    summary.linesSkipped = log.skipped.size();
    summary.claimedScore = log.claimedScore;

    std::string ownCall = !o.ownCall.empty() ? o.ownCall : log.ownCall;
    if (ownCall.empty()) err << kTool << "the log names no own call; give it with --call CALL\n";
    std::string ownPrefix = cty.PrefixOf(ownCall);
    if (!ownCall.empty() && ownPrefix.empty()) {
        err << kTool << "no DXCC prefix for the own call " << ownCall << " (passed as \"\")\n";
    }

    COleDateTime start = o.start ? *o.start : ContestStartNear(FirstQsoTime(log.qsos));
    COleDateTime end = o.end ? *o.end : ContestEndFor(start);

    // A replay shows no status windows unless asked: with "Start" at 1 the first reset starts none.
    if (!o.windows && !Settings::WriteString("Start", "1")) {
        err << kTool << "cannot write " << (outDir / "Plugins" / "ARRL-RTTY.ini").string() << "\n";
    }
    if (!o.headers.empty() && !o.cabrillo) err << kTool << "--header has no effect without --cabrillo\n";
    if (o.cabrillo && !o.headers.empty() && !DialogOperator::HasWindows()) {
        std::vector<std::string> warnings;
        WriteHeaderSettings(o.headers, warnings);
        for (const std::string& w : warnings) err << kTool << w << "\n";
    }
    if (!o.hostVersion.empty()) {
        std::ofstream ini("Tolv2.ini", std::ios::binary | std::ios::trunc);
        ini << "[Tolv]\r\nTolv=" << o.hostVersion << "\r\n";
    }

    DialogOperator dialogOperator(o.cabrillo ? o.headers : std::vector<HeaderValue>());
    if (o.cabrillo) dialogOperator.Start();

    if (o.html) plugin.setVersion(o.hostVersion.c_str());

    std::string iniFolder = outDir.string();
    if (iniFolder.empty() || iniFolder.back() != kSeparator) iniFolder += kSeparator;
    COleDateTime noTime = COleDateTime::Null();
    plugin.ResetStats0(iniFolder.c_str(), o.cabrillo ? 1 : 0, ownCall.c_str(), &start, &end, kEmpty, kEmpty, kEmpty,
                       kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, ownPrefix.c_str(), 0, 0, 0, 0.0, 0.0, kEmpty,
                       kEmpty, kEmpty);

    for (const LogQso& q : log.qsos) {
        std::string prefix = cty.PrefixOf(q.call);
        if (prefix.empty()) {
            ++summary.prefixesUnresolved;
            err << Where(log, q.line) << "no DXCC prefix for " << q.call << " (passed as \"\")\n";
        }
        COleDateTime time = q.time;
        COleDateTime t4 = noTime, t5 = noTime, t6 = noTime;
        const std::string& qsoOwnCall = o.ownCall.empty() && !q.ownCall.empty() ? q.ownCall : ownCall;
        int added = plugin.AddData0(qsoOwnCall.c_str(), q.call.c_str(), &time, &t4, &t5, &t6, 0, q.frequencyHz,
                                    q.mode.c_str(), q.rstSent.c_str(), q.rstRcvd.c_str(), q.exchSent.c_str(),
                                    q.exchRcvd.c_str(), kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty,
                                    kEmpty, prefix.c_str(), 0, 0, 0, 0.0, 0.0, kEmpty, kEmpty, kEmpty, q.band.c_str(),
                                    kEmpty);
        if (added) {
            ++summary.added;
        } else {
            ++summary.rejected;
            err << Where(log, q.line) << "rejected by the plug-in: " << q.call << " "
                << (q.band.empty() ? "(no band)" : q.band) << " " << q.mode << "\n";
        }
    }

    int resultFlag = 0;
    const char* report = plugin.GetResult0(&resultFlag);
    summary.report = report ? report : "";
    dialogOperator.Stop();
    for (const std::string& e : dialogOperator.TakeEvents()) err << e << "\n";

    out.write(summary.report.data(), static_cast<std::streamsize>(summary.report.size()));
    {
        std::ofstream file(o.html ? "report.html" : "report.txt", std::ios::binary | std::ios::trunc);
        file << summary.report;
    }

    for (const std::string& question : o.checks) {
        CheckQuestion c = ParseCheck(question, log);
        std::string prefix = cty.PrefixOf(c.call);
        char out1[256] = {0}, out2[256] = {0};
        int code = plugin.CheckCall0(c.call.c_str(), 0, 0, c.mode.c_str(), kEmpty, kEmpty, kEmpty, kEmpty, kEmpty,
                                     kEmpty, kEmpty, kEmpty, kEmpty, prefix.c_str(), 0, 0, 0, 0.0, 0.0, kEmpty, kEmpty,
                                     kEmpty, kEmpty, kEmpty, c.band.c_str(), c.band.c_str(), out1, out2);
        summary.checkCodes.push_back(code);
        out << "CheckCall0 " << c.call << " " << c.band << " " << c.mode << " (prefix "
            << (prefix.empty() ? "\"\"" : prefix) << "): " << code << " " << CheckCodeMeaning(code) << "\n";
    }
    out.flush();

    summary.pluginScore = ParseScore(Settings::GetString("Claimed", 50));
    plugin.Unload();  // the plug-in's exit may still write its settings here

    err << kTool << log.fileName << " (" << LogFormatName(log.format) << "): " << summary.qsosRead << " QSOs read, "
        << summary.added << " added, " << summary.rejected << " rejected by the plug-in, " << summary.linesSkipped
        << " lines skipped, " << summary.prefixesUnresolved << " prefixes not resolved\n";
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
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(outDir, ec)) {
        if (entry.is_regular_file(ec)) files.push_back(entry.path().filename().string());
    }
    std::sort(files.begin(), files.end());
    err << kTool << "files in " << outDir.string() << ":";
    for (const std::string& f : files) err << " " << f;
    err << " (settings in Plugins" << kSeparator << "ARRL-RTTY.ini)\n";

    if (summaryOut) *summaryOut = summary;
    return 0;
}

}  // namespace replay

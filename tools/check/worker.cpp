#include "worker.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <istream>
#include <ostream>

#include "app/plugin_object.h"
#include "child_process.h"
#include "common/text.h"
#include "contest_dates.h"
#include "cross_check.h"
#include "log_readers.h"
#include "platform/settings.h"
#include "plugin/plugin_library.h"
#include "replay.h"

namespace fs = std::filesystem;

namespace check {

namespace {

// "5:W1ABC": a text of any bytes.
void Put(std::string& out, const std::string& s) {
    out += std::to_string(s.size());
    out += ':';
    out += s;
}
void Put(std::string& out, long long n) { Put(out, std::to_string(n)); }
void Put(std::string& out, const std::optional<long long>& n) { Put(out, n ? std::to_string(*n) : std::string()); }

bool Get(std::istream& in, std::string& s) {
    size_t size = 0;
    int c = 0;
    bool digits = false;
    while ((c = in.get()) >= '0' && c <= '9') {
        size = size * 10 + static_cast<size_t>(c - '0');
        digits = true;
        if (size > (size_t(1) << 30)) return false;  // no field is that long
    }
    if (!digits || c != ':') return false;
    s.resize(size);
    return size == 0 || static_cast<bool>(in.read(&s[0], static_cast<std::streamsize>(size)));
}

template <typename Number>
bool Get(std::istream& in, Number& n) {
    std::string s;
    if (!Get(in, s) || s.empty() || s.size() > 19) return false;
    size_t i = s[0] == '-' ? 1 : 0;
    if (i == s.size()) return false;
    long long v = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        v = v * 10 + (s[i] - '0');
    }
    n = static_cast<Number>(s[0] == '-' ? -v : v);
    return true;
}

bool Get(std::istream& in, std::optional<long long>& n) {
    std::string s;
    if (!Get(in, s)) return false;
    if (s.empty()) {
        n.reset();
        return true;
    }
    long long v = 0;
    for (size_t i = s[0] == '-' ? 1 : 0; i < s.size(); ++i) v = v * 10 + (s[i] - '0');
    n = s[0] == '-' ? -v : v;
    return true;
}

constexpr const char* kRecordTag = "L";

// The own call most QSO lines carry: a log's CALLSIGN header is typed by hand, its lines are written by the
// logging program that sent the call on the air.
std::string MostCommonOwnCall(const std::vector<replay::LogQso>& qsos) {
    // Nearly every log carries one call on all its lines: that is settled without counting.
    if (qsos.empty()) return "";
    const std::string& first = qsos.front().ownCall;
    if (std::all_of(qsos.begin(), qsos.end(), [&](const replay::LogQso& q) { return q.ownCall == first; })) return first;
    std::map<std::string, size_t> count;
    std::string best;
    size_t most = 0;
    for (const replay::LogQso& q : qsos) {
        if (q.ownCall.empty()) continue;
        const size_t n = ++count[q.ownCall];
        if (n > most) most = n, best = q.ownCall;
    }
    return best;
}

}  // namespace

int BandIndex(const contest::Record& contest, const std::string& band) {
    const CaseInsensitiveTextSet& bands = contest.AcceptedBands();
    for (size_t i = 0; i < bands.Count(); ++i) {
        if (text::EqualsNoCase(bands.At(i), band)) return static_cast<int>(i);
    }
    return kNoBand;
}

void WriteWorkList(std::ostream& out, const std::vector<std::pair<size_t, std::string>>& logs) {
    std::string s;
    for (const auto& [index, path] : logs) {
        Put(s, static_cast<long long>(index));
        Put(s, path);
        s += '\n';
    }
    out << s;
}

bool ReadWorkList(std::istream& in, std::vector<std::pair<size_t, std::string>>& logs) {
    for (;;) {
        while (in.peek() == '\n') in.get();
        if (in.peek() == std::char_traits<char>::eof()) return true;
        size_t index = 0;
        std::string path;
        if (!Get(in, index) || !Get(in, path)) return false;
        logs.emplace_back(index, path);
    }
}

void WriteWorkerLog(std::ostream& out, const WorkerLog& log) {
    std::string s = kRecordTag;
    Put(s, static_cast<long long>(log.index));
    Put(s, log.error);
    Put(s, log.format);
    Put(s, log.ownCall);
    Put(s, log.linesCall);
    Put(s, log.ownPrefix);
    Put(s, log.claimedScore);
    Put(s, log.pluginScore);
    Put(s, static_cast<long long>(log.header.size()));
    for (const auto& [tag, value] : log.header) Put(s, tag), Put(s, value);
    Put(s, static_cast<long long>(log.skipped.size()));
    for (const replay::LogProblem& p : log.skipped) Put(s, p.line), Put(s, p.reason);
    Put(s, log.cutAfterLine);
    Put(s, static_cast<long long>(log.qsos.size()));
    for (const WorkerQso& q : log.qsos) {
        s += '\n';
        Put(s, q.line), Put(s, q.minute), Put(s, q.band), Put(s, q.call), Put(s, q.exchSent), Put(s, q.exchRcvd);
        Put(s, q.added ? 1 : 0), Put(s, q.prefix), Put(s, q.reason);
    }
    s += "\n.\n";  // the record is whole
    out.write(s.data(), static_cast<std::streamsize>(s.size()));
}

bool ReadWorkerLog(std::istream& in, WorkerLog& log) {
    log = WorkerLog();
    if (in.get() != kRecordTag[0]) return false;
    size_t headers = 0, skipped = 0, qsos = 0;
    if (!Get(in, log.index) || !Get(in, log.error) || !Get(in, log.format) || !Get(in, log.ownCall) || !Get(in, log.linesCall) ||
        !Get(in, log.ownPrefix) ||
        !Get(in, log.claimedScore) || !Get(in, log.pluginScore) || !Get(in, headers)) {
        return false;
    }
    for (size_t i = 0; i < headers; ++i) {
        std::string tag, value;
        if (!Get(in, tag) || !Get(in, value)) return false;
        log.header[tag] = value;
    }
    if (!Get(in, skipped)) return false;
    for (size_t i = 0; i < skipped; ++i) {
        replay::LogProblem p;
        if (!Get(in, p.line) || !Get(in, p.reason)) return false;
        log.skipped.push_back(std::move(p));
    }
    if (!Get(in, log.cutAfterLine) || !Get(in, qsos)) return false;
    log.qsos.reserve(std::min<size_t>(qsos, 1 << 20));
    for (size_t i = 0; i < qsos; ++i) {
        WorkerQso q;
        int added = 0;
        if (in.get() != '\n' || !Get(in, q.line) || !Get(in, q.minute) || !Get(in, q.band) || !Get(in, q.call) ||
            !Get(in, q.exchSent) || !Get(in, q.exchRcvd) || !Get(in, added) || !Get(in, q.prefix) ||
            !Get(in, q.reason)) {
            return false;
        }
        q.added = added != 0;
        log.qsos.push_back(std::move(q));
    }
    return in.get() == '\n' && in.get() == '.' && in.get() == '\n';
}

int RunWorker(const std::string& listPath, const std::string& resultPath, const std::string& workDir,
              const std::string& pluginPath, const std::string& countryFile) {
    EndWithParent();
    std::vector<std::pair<size_t, std::string>> logs;
    {
        std::ifstream list(listPath, std::ios::binary);
        if (!list || !ReadWorkList(list, logs)) return 2;
    }
    std::ofstream out(resultPath, std::ios::binary | std::ios::trunc);
    // One plug-in and one country file for all the logs of this worker; the plug-in's reset starts each log.
    std::error_code ec;
    fs::create_directories(fs::path(workDir) / "Plugins", ec);
    fs::current_path(workDir, ec);
    PluginLibrary plugin;
    replay::ReplayInputs in;
    std::string error;
    if (ec || !plugin.Load(pluginPath, error) || !(in.contest = replay::ContestOfPlugin(plugin, pluginPath, error)) ||
        !in.cty.Load(countryFile, error, in.contest->waeCountries)) {
        return 2;
    }
    Settings::WriteString(CTestApp::kStartKey, "1");  // no status windows
    replay::ReplayOptions o;
    o.pluginPath = pluginPath;
    o.countryFile = countryFile;
    size_t done = 0, qsos = 0;
    for (const auto& [index, path] : logs) {
        WorkerLog w;
        w.index = index;
        o.logPath = path;
        try {
            in.log = replay::ParsedLog();
            // A file that became something else since the checker looked is not opened: a pipe would block.
            std::error_code kind;
            if (!fs::is_regular_file(path, kind)) {
                w.error = path + " is not a regular file (not opened)";
            } else if (replay::ReadLogFile(path, *in.contest, in.log, error)) {
                std::vector<std::string> warnings;
                const replay::ReplayPlan plan = replay::PlanReplay(o, in, warnings);
                std::vector<replay::QsoOutcome> answers = replay::ReplayQsos(plugin, o, in, plan, workDir);
                const replay::PluginResult result = replay::FinishReplay(plugin, o, in);
                const replay::ReplaySummary summary = replay::MapOutcomes(in, plan, std::move(answers)).summary;
                const replay::ParsedLog& log = in.log;
                w.format = replay::LogFormatName(log.format);
                w.ownCall = log.ownCall;
                w.linesCall = MostCommonOwnCall(log.qsos);
                w.ownPrefix = plan.ownPrefix;
                w.claimedScore = log.claimedScore;
                w.pluginScore = result.pluginScore;
                w.header = log.header;
                w.skipped = log.skipped;
                w.cutAfterLine = log.cutAfterLine;
                w.qsos.reserve(log.qsos.size());
                for (size_t i = 0; i < log.qsos.size(); ++i) {
                    const replay::LogQso& q = log.qsos[i];
                    const replay::QsoOutcome& a = summary.outcomes[i];
                    w.qsos.push_back({q.line, replay::WholeMinutes(q.time), BandIndex(*in.contest, q.band), q.call, q.exchSent,
                                      q.exchRcvd, a.added, a.prefix, a.reason});
                }
            } else {
                w.error = error;
            }
        } catch (const std::exception& e) {
            w.error = path + ": " + e.what();
        }
        WriteWorkerLog(out, w);
        out.flush();
        ++done;
        qsos += w.qsos.size();
        std::ofstream progress(resultPath + ".progress", std::ios::binary | std::ios::trunc);
        progress << done << " " << qsos << "\n";
    }
    return out ? 0 : 2;
}

}  // namespace check

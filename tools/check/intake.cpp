#include "intake.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <tuple>

#include "common/text.h"
#include "contest/registry.h"
#include "contest_dates.h"
#include "plugin/plugin_library.h"
#include "scoring/cabrillo_header.h"

namespace fs = std::filesystem;

namespace check {

namespace {

constexpr const char* kDateFormat = "%Y-%m-%d";
constexpr const char* kStartFormat = "%Y-%m-%d %H%M";
constexpr const char* kAnotherContest = "%s log: check it with --plugin %s";
constexpr const char* kAnotherWeekend =
    "QSOs of %s: not a weekend of this contest (the %s of %d starts %s UTC)";
constexpr const char* kUnknownContestName = "CONTEST: %s; ";
constexpr const char* kContestNameWarning =
    "CONTEST: %s is not %s, but its QSOs are of the contest's weekend: checked as a log of it";
constexpr const char* kCutWarning =
    "no END-OF-LOG: line: the log may have been cut short in the upload (its last line is %d)";
constexpr const char* kCopyWarning = "the same %llu QSOs as %s's log %s: a copy under another call?";
constexpr const char* kReplacedNamed = "replaced by %s, the log of %s named with --use";
constexpr const char* kReplacedLater = "replaced by %s, a later log of %s (by file time)";
constexpr const char* kReplacedSameTime =
    "replaced by %s, another log of %s as old as it (the first found is kept; name the one to keep with "
    "--use)";
constexpr const char* kReplacedSameFile = "replaced by %s, the same file of %s (a link to it)";

using F = CabrilloHeaderFields;

// The plug-in of another contest, beside the one in use.
std::string PluginBeside(const std::string& pluginPath, const contest::Record& r) {
    return (fs::path(pluginPath).parent_path() / PluginFileNameOf(contest::PluginNameOf(r))).string();
}

bool FitsWeekend(const contest::Record& r, long long minute) {
    const COleDateTime start = r.PeriodStartNear(replay::FromWholeMinutes(minute));
    DateTimeFields f;
    return start.GetFields(f) && replay::WholeMinutes(r.PeriodStartOf(f.year)) == replay::WholeMinutes(start);
}

// Why a log is of no period of this contest, with what to do about it; empty when it is of one.
std::string OtherContest(const contest::Record& contest, const std::string& pluginPath, const LogInfo& info,
                         long long periodStart, std::vector<std::string>& warnings) {
    auto header = info.header.find(CabrilloHeaderTagOf(&F::contest).tag);
    const std::string named = header == info.header.end() ? "" : text::Trim(header->second);
    if (FitsWeekend(contest, periodStart)) {
        if (!named.empty() && !contest.IsContestName(named)) {
            warnings.push_back(text::Format(kContestNameWarning, named.c_str(), contest.cabrilloContest));
        }
        return "";
    }
    // The contest the log is of, by its CONTEST text first, else by its weekend.
    const contest::Record* other = nullptr;
    for (const contest::Record* r : contest::Records()) {
        if (r != &contest && r->IsContestName(named)) other = r;
    }
    for (const contest::Record* r : contest::Records()) {
        if (!other && r != &contest && FitsWeekend(*r, periodStart)) other = r;
    }
    if (other) {
        return text::Format(kAnotherContest, other->cabrilloContest, PluginBeside(pluginPath, *other).c_str());
    }
    const COleDateTime start = replay::FromWholeMinutes(periodStart);
    DateTimeFields f;
    start.GetFields(f);
    const std::string prefix = named.empty() || contest.IsContestName(named)
                                   ? std::string()
                                   : text::Format(kUnknownContestName, named.c_str());
    return prefix + text::Format(kAnotherWeekend, start.Format(kDateFormat).c_str(), contest.cabrilloContest,
                                 f.year, contest.PeriodStartOf(f.year).Format(kStartFormat).c_str());
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec);
}

// A QSO as a copy would hold it, whatever call the log is under.
using CopyKey = std::tuple<long long, uint8_t, uint32_t, uint32_t>;
CopyKey KeyOf(const CheckQso& q) {
    return {q.minute, q.band, q.call, q.exchRcvd};
}

uint64_t Mix(uint64_t x) {
    x ^= x >> 33;
    x *= 0xff51afd7ed558ccdull;
    x ^= x >> 33;
    x *= 0xc4ceb9fe1a85ec53ull;
    return x ^ (x >> 33);
}

// The same QSOs whatever their order, found without sorting every log: a sum and an exclusive or of each
// QSO's hash, checked exactly where two logs agree.
std::pair<uint64_t, uint64_t> QsoHash(const CheckLog& log) {
    uint64_t sum = 0, all = 0;
    for (const CheckQso& q : log.qsos) {
        const uint64_t h = Mix(Mix(Mix(static_cast<uint64_t>(q.minute) ^ q.band) ^ q.call) ^ q.exchRcvd);
        sum += h;
        all ^= h;
    }
    return {sum, all};
}

bool SameQsos(const CheckLog& a, const CheckLog& b) {
    if (a.qsos.size() != b.qsos.size()) return false;
    std::vector<CopyKey> ka, kb;
    for (const CheckQso& q : a.qsos) ka.push_back(KeyOf(q));
    for (const CheckQso& q : b.qsos) kb.push_back(KeyOf(q));
    std::sort(ka.begin(), ka.end());
    std::sort(kb.begin(), kb.end());
    return ka == kb;
}

}  // namespace

std::vector<IntakeDecision> DecideIntake(const contest::Record& contest, const std::string& pluginPath,
                                         const std::vector<IntakeLog>& logs, const CallTable& calls) {
    std::vector<IntakeDecision> out(logs.size());
    for (size_t i = 0; i < logs.size(); ++i) {
        const LogInfo& info = *logs[i].info;
        out[i].setApart = OtherContest(contest, pluginPath, info, logs[i].log->periodStart, out[i].warnings);
        if (info.cutAfterLine > 0) out[i].warnings.push_back(text::Format(kCutWarning, info.cutAfterLine));
    }

    // One log per station and contest period: the one named with --use, else the latest file, else the first.
    std::map<std::pair<long long, uint32_t>, std::vector<size_t>> ofStation;
    for (size_t i = 0; i < logs.size(); ++i) {
        if (out[i].setApart.empty()) ofStation[{logs[i].log->periodStart, logs[i].log->station}].push_back(i);
    }
    for (const auto& [key, group] : ofStation) {
        if (group.size() < 2) continue;
        size_t kept = group[0];
        auto better = [&](size_t a, size_t b) {
            return std::make_pair(logs[a].named, logs[a].fileTime) >
                   std::make_pair(logs[b].named, logs[b].fileTime);
        };
        for (size_t i : group) {
            if (better(i, kept)) kept = i;
        }
        const std::string& keptPath = logs[kept].info->path;
        const char* call = calls.Text(key.second).c_str();
        for (size_t i : group) {
            if (i == kept) continue;
            const char* why = SameFile(logs[i].info->path, keptPath) ? kReplacedSameFile
                              : logs[kept].named                     ? kReplacedNamed
                              : better(kept, i)                      ? kReplacedLater
                                                                     : kReplacedSameTime;
            out[i].setApart = text::Format(why, keptPath.c_str(), call);
            out[i].replaced = true;
        }
    }

    // The same QSOs under another call, within one contest period.
    std::vector<std::tuple<long long, std::pair<uint64_t, uint64_t>, size_t>> hashes;
    for (size_t i = 0; i < logs.size(); ++i) {
        if (out[i].setApart.empty() && logs[i].log->qsos.size() >= kMinQsosForCopy) {
            hashes.emplace_back(logs[i].log->periodStart, QsoHash(*logs[i].log), i);
        }
    }
    std::sort(hashes.begin(), hashes.end());
    for (size_t a = 0; a < hashes.size(); ++a) {
        for (size_t b = a + 1; b < hashes.size() && std::get<0>(hashes[b]) == std::get<0>(hashes[a]) &&
                               std::get<1>(hashes[b]) == std::get<1>(hashes[a]);
             ++b) {
            const size_t i = std::get<2>(hashes[a]), j = std::get<2>(hashes[b]);
            if (logs[i].log->station == logs[j].log->station || !SameQsos(*logs[i].log, *logs[j].log)) {
                continue;
            }
            const unsigned long long n = logs[i].log->qsos.size();
            out[i].warnings.push_back(
                text::Format(kCopyWarning, n, logs[j].info->call.c_str(), logs[j].info->path.c_str()));
            out[j].warnings.push_back(
                text::Format(kCopyWarning, n, logs[i].info->call.c_str(), logs[i].info->path.c_str()));
        }
    }
    for (IntakeDecision& d : out) {
        if (!d.setApart.empty()) d.warnings.clear();
    }
    return out;
}

UncheckedLogHeader HeaderOfUncheckedLog(const std::string& path) {
    std::error_code ec;
    std::string head;
    if (fs::is_regular_file(path, ec)) {
        std::ifstream in(path, std::ios::binary);
        head.resize(64 * 1024);
        in.read(&head[0], static_cast<std::streamsize>(head.size()));
        head.resize(static_cast<size_t>(in.gcount()));
    }
    // UTF-16 text of a Cabrillo or ADIF log is its ASCII bytes with a zero byte beside each, after a mark.
    head.erase(std::remove(head.begin(), head.end(), '\0'), head.end());
    const size_t text = head.find_first_not_of("\xEF\xBB\xBF\xFE\xFF");
    head.erase(0, text == std::string::npos ? head.size() : text);
    const std::string upper = text::ToUpper(head);
    auto cabrillo = [&](std::string F::*member) {
        const std::string tag = std::string(CabrilloHeaderTagOf(member).tag) + ":";
        for (size_t at = 0; at < upper.size();) {
            const size_t end = std::min(upper.find_first_of("\r\n", at), upper.size());
            if (upper.compare(at, tag.size(), tag) == 0) {
                const std::vector<std::string> words =
                    text::Split(text::Trim(upper.substr(at + tag.size(), end - at - tag.size())), ' ');
                if (!words.empty() && !words[0].empty()) return words[0];
            }
            at = end + 1;
        }
        return std::string();
    };
    auto adif = [&](const std::string& name) {
        const std::string open = "<" + name + ":";
        const size_t field = upper.find(open);
        if (field == std::string::npos) return std::string();
        const size_t close = upper.find('>', field);
        const int length = std::atoi(upper.c_str() + field + open.size());
        if (close == std::string::npos || length <= 0 || length > 64) return std::string();
        return text::Trim(upper.substr(close + 1, static_cast<size_t>(length)));
    };
    UncheckedLogHeader h;
    h.call = cabrillo(&F::callsign);
    if (h.call.empty()) h.call = adif("STATION_CALLSIGN");
    h.contest = cabrillo(&F::contest);
    if (h.contest.empty()) h.contest = adif("CONTEST_ID");
    if (!h.call.empty()) return h;
    // The file name: its first part with a letter and a digit, three characters or more.
    const std::string name = text::ToUpper(fs::path(path).filename().string());
    const std::string stem = name.substr(0, name.find('.'));
    for (size_t at = 0; at < stem.size();) {
        size_t end = at;
        while (end < stem.size() && (std::isalnum(static_cast<unsigned char>(stem[end])) || stem[end] == '/')) {
            ++end;
        }
        const std::string part = stem.substr(at, end - at);
        auto has = [&](int (*kind)(int)) {
            return std::any_of(part.begin(), part.end(),
                               [&](char c) { return kind(static_cast<unsigned char>(c)) != 0; });
        };
        if (part.size() >= 3 && has(std::isalpha) && has(std::isdigit)) {
            h.call = part;
            break;
        }
        at = end + 1;
    }
    return h;
}

LeftOut UncheckedLog(const contest::Record& contest, const std::string& pluginPath, const std::string& path,
                     const std::string& error) {
    const UncheckedLogHeader h = HeaderOfUncheckedLog(path);
    LeftOut l{path, error, false, h.call};
    for (const contest::Record* r : contest::Records()) {
        if (r == &contest || !r->IsContestName(h.contest)) continue;
        l.reason +=
            ": " + text::Format(kAnotherContest, r->cabrilloContest, PluginBeside(pluginPath, *r).c_str());
    }
    return l;
}

}  // namespace check

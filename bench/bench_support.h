#pragma once
// What the benchmarks share: a temporary working directory (the plug-in writes its files into the current
// one), a realistic contest log of any size, the plug-in loaded as the host loads it and the host's calls
// into it, and a way to push the plug-in's data out of the processor's caches.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "common/text.h"
#include "country_file.h"
#include "engine/args.h"
#include "plugin/plugin_library.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace bench {

namespace fs = std::filesystem;

constexpr const char* kCurrentCall = "W1AW";  // the call being entered: in the log a few times

class BenchDir {
public:
    BenchDir() : previous_(fs::current_path()) {
        std::random_device rd;
        path_ = fs::temp_directory_path() / ("stats-bench-" + std::to_string(rd()));
        fs::create_directories(path_ / "Plugins");
        fs::current_path(path_);
    }
    ~BenchDir() {
        std::error_code ec;
        fs::current_path(previous_, ec);
        fs::remove_all(path_, ec);
    }
    BenchDir(const BenchDir&) = delete;
    BenchDir& operator=(const BenchDir&) = delete;

private:
    fs::path previous_;
    fs::path path_;
};

// A worked station: a real call from the super-check-partial file with the DXCC prefix the country file
// gives it.
struct Station {
    std::string call;
    std::string prefix;
};

inline const std::vector<Station>& Stations() {
    static const std::vector<Station> stations = [] {
        std::vector<Station> s;
        replay::CountryFile cty;
        std::string error;
        if (!cty.Load(replay::kDefaultCountryFile, error)) {
            std::fprintf(stderr, "bench: %s\n", error.c_str());
            return s;
        }
        std::ifstream in(replay::kDefaultScpFile);
        for (std::string line; std::getline(in, line);) {
            std::string call = text::Trim(line);
            if (call.empty() || call[0] == '#' || call == kCurrentCall)
                continue;
            std::string prefix = cty.PrefixOf(call);
            if (!prefix.empty())
                s.push_back({call, prefix});
        }
        if (s.empty())
            std::fprintf(stderr, "bench: no calls in %s (install hamradio-files)\n", replay::kDefaultScpFile);
        return s;
    }();
    return stations;
}

// A contest log of `count` QSOs over the 30 hours: real calls (with portable forms /1 to /9 once the log
// needs more stations than the file has), every station on one band or more, W/VE stations sending the
// state or province of their call area and DX stations a serial number. About one QSO in a hundred is a
// dupe and one in a hundred a W/VE QSO with an unacceptable exchange; the current call is in the log on
// three bands.
inline std::vector<QsoArgs> RealisticLog(size_t count, unsigned seed) {
    static const char* const kBands[] = {"80m", "40m", "20m", "15m", "10m"};
    static const unsigned kBandHz[] = {3580000, 7080000, 14080000, 21080000, 28080000};
    static const char* const kAreaStates[] = {"MN", "CT", "NY", "PA", "GA", "TX", "CA", "WA", "OH", "IL"};
    static const char* const kAreaProvinces[] = {"NU", "NS", "QC", "ON", "MB", "SK", "AB", "BC", "YT", "NB"};
    const std::vector<Station>& stations = Stations();
    std::vector<QsoArgs> log;
    if (stations.empty())
        return log;
    std::mt19937 random(seed);
    std::vector<size_t> order(stations.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::shuffle(order.begin(), order.end(), random);

    log.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        QsoArgs q;
        const size_t slot = i / 5;  // each station on up to five bands in turn
        const Station& s = stations[order[slot % order.size()]];
        const size_t variant = slot / order.size();
        q.call = variant == 0 ? s.call : s.call + "/" + std::to_string(variant % 9 + 1);
        q.prefix = s.prefix;
        const size_t band = (i + slot) % 5;
        if (i % 100 == 37 && !log.empty()) {
            q = log[random() % log.size()];  // a dupe
        } else {
            q.ownCall = "W1EG";
            q.band = kBands[band];
            q.frequencyHz = kBandHz[band] + static_cast<unsigned>(random() % 20000);
            q.mode = i % 10 == 9 ? "FT8" : "RTTY";
            q.rstSent = "599";
            q.rstRcvd = "599";
            q.exchSent = "CT";
            if (q.prefix == "K" || q.prefix == "VE") {
                const char* digit = std::find_if(q.call.c_str(), q.call.c_str() + q.call.size(),
                                                 [](char c) { return c >= '0' && c <= '9'; });
                const int area = *digit ? *digit - '0' : 1;
                q.exchRcvd = q.prefix == "K" ? kAreaStates[area] : kAreaProvinces[area];
                if (i % 100 == 71)
                    q.exchRcvd = "XX";
            } else {
                q.exchRcvd = text::Format("%03u", static_cast<unsigned>(1 + i % 3000));
            }
        }
        q.time = COleDateTime(45297.75 + 1.25 * static_cast<double>(i) / static_cast<double>(count),
                              COleDateTime::valid);
        log.push_back(q);
    }
    // The current call, three times.
    for (size_t k = 0; k < 3 && k < log.size(); ++k) {
        QsoArgs& q = log[log.size() / 4 * (k + 1)];
        q.call = kCurrentCall;
        q.prefix = "K";
        q.exchRcvd = "CT";
    }
    return log;
}

// The same kind of log as a Cabrillo file, for stats-replay: `count` QSOs over the contest's 30 hours, every
// call an exact entry of the country file, W/VE stations sending a state or province and the others a serial
// number. Another `ownCall` and `firstCall` make the log of another station, who worked partly other calls.
inline std::string CabrilloLog(size_t count, const std::string& ownCall = "W1AW", size_t firstCall = 0) {
    static const int kBandKHz[] = {3580, 7080, 14080, 21080, 28080};
    static const char* const kStates[] = {"CT", "MA", "NY", "CA", "TX", "ON", "QC", "BC", "FL", "OH"};
    replay::CountryFile cty;
    std::string error;
    if (!cty.Load(replay::kDefaultCountryFile, error))
        return "";
    std::vector<std::pair<std::string, std::string>> calls = cty.ExactCalls();
    std::string out = "START-OF-LOG: 3.0\nCALLSIGN: " + ownCall + "\nCONTEST: ARRL-RTTY\n";
    // Plain calls only: a portable form would be resolved by its own rules, not by its entry.
    calls.erase(std::remove_if(calls.begin(), calls.end(),
                               [](const auto& c) { return c.first.find('/') != std::string::npos; }),
                calls.end());
    for (size_t i = 0; i < count; ++i) {
        const auto& c = calls[(firstCall + i * 7919) % calls.size()];
        const int band = static_cast<int>(i % 5);
        const int minute = static_cast<int>(i * 30 * 60 / count);
        COleDateTime t = COleDateTime::FromFields(2026, 1, 3 + (18 * 60 + minute) / 1440,
                                                  ((18 * 60 + minute) / 60) % 24, minute % 60);
        const bool wve = c.second == "K" || c.second == "VE";
        std::string exch = wve ? kStates[i % 10] : std::to_string(1 + i % 2000);
        out += text::Format("QSO: %5d RY %s %-13s 599 CT     %-13s 599 %s\n", kBandKHz[band] + int(i % 20),
                            t.Format("%Y-%m-%d %H%M").c_str(), ownCall.c_str(), c.first.c_str(), exch.c_str());
    }
    return out + "END-OF-LOG:\n";
}

inline ResetArgs MakeReset() {
    ResetArgs r;
    r.iniFolder = "./";
    r.ownCall = "W1EG";
    r.contestStart = COleDateTime(45297.75, COleDateTime::valid);
    r.contestEnd = COleDateTime(45299.0, COleDateTime::valid);
    r.ownPrefix = "K";
    return r;
}

// The plug-in as the host loads it (libStats.so beside the benchmark), and the host's calls into it.
class Host {
public:
    // A copy of the library under another name loads as a plug-in of its own, with its own log.
    bool Load(const std::string& path = DefaultPluginPath()) {
        std::string error;
        if (plugin_.Load(path, error))
            return true;
        std::fprintf(stderr, "bench: %s\n", error.c_str());
        return false;
    }

    void Reset(const ResetArgs& r) {
        COleDateTime start = r.contestStart, end = r.contestEnd;
        plugin_.ResetStats0(r.iniFolder.c_str(), 0, r.ownCall.c_str(), &start, &end, "", "", "", "", "", "",
                            "", "", "", r.ownPrefix.c_str(), 0, 0, 0, 0.0, 0.0, "", "", "");
    }

    int Add(const QsoArgs& q) {
        COleDateTime time = q.time, none = COleDateTime::Null();
        return plugin_.AddData0(q.ownCall.c_str(), q.call.c_str(), &time, &none, &none, &none, 0,
                                q.frequencyHz, q.mode.c_str(), q.rstSent.c_str(), q.rstRcvd.c_str(),
                                q.exchSent.c_str(), q.exchRcvd.c_str(), "", "", "", "", "", "", "", "", "",
                                q.prefix.c_str(), 0, 0, 0, 0.0, 0.0, "", "", "", q.band.c_str(), "");
    }

    int Check(const CheckArgs& c) {
        return plugin_.CheckCall0(c.call.c_str(), 0, 0, c.mode.c_str(), "", "", "", "", "", "", "", "", "",
                                  c.prefix.c_str(), 0, 0, 0, 0.0, 0.0, "", "", "", "", "", c.band.c_str(),
                                  c.band.c_str(), nullptr, nullptr);
    }

    const char* Result() {
        int out = 0;
        return plugin_.GetResult0(&out);
    }

    void Fill(const std::vector<QsoArgs>& log) {
        Reset(MakeReset());
        for (const QsoArgs& q : log)
            Add(q);
    }

private:
    PluginLibrary plugin_;
};

// Questions a host asks while the operator types: calls in the log (dupes and worked before) and new ones,
// W/VE and DX, on the bands of the contest.
inline std::vector<CheckArgs> CheckQuestions(const std::vector<QsoArgs>& log, size_t count) {
    std::vector<CheckArgs> checks;
    std::vector<QsoArgs> fresh = RealisticLog(count, 99);
    for (size_t i = 0; i < count && !log.empty(); ++i) {
        const QsoArgs& q = i % 2 == 0 ? log[(i * 7919) % log.size()] : fresh[i];
        CheckArgs c;
        c.call = i % 2 == 0 ? q.call : q.call + "/QRP";
        c.mode = q.mode;
        c.prefix = q.prefix;
        c.band = i % 4 == 0 ? q.band : "20m";
        checks.push_back(c);
    }
    return checks;
}

// The size of the processor's last cache level, from sysfs (sysconf where it is not there); 0 when unknown.
inline size_t LastLevelCacheBytes() {
    size_t largest = 0;
#ifndef _WIN32
    for (int index = 0; index < 16; ++index) {
        const std::string dir = "/sys/devices/system/cpu/cpu0/cache/index" + std::to_string(index) + "/";
        std::ifstream typeFile(dir + "type"), sizeFile(dir + "size");
        std::string type, size;
        if (!(typeFile >> type) || !(sizeFile >> size)) break;
        if (type == "Instruction") continue;
        size_t bytes = std::strtoull(size.c_str(), nullptr, 10);
        const char unit = size.empty() ? 0 : size.back();
        bytes <<= unit == 'K' ? 10 : unit == 'M' ? 20 : unit == 'G' ? 30 : 0;
        largest = std::max(largest, bytes);
    }
#ifdef _SC_LEVEL3_CACHE_SIZE
    if (largest == 0) {
        for (int name : {_SC_LEVEL3_CACHE_SIZE, _SC_LEVEL2_CACHE_SIZE}) {
            const long bytes = sysconf(name);
            if (bytes > 0) largest = std::max(largest, static_cast<size_t>(bytes));
        }
    }
#endif
#endif
    return largest;
}

// Reads one byte of every cache line of a buffer twice the size of the last cache level (at least 8 MB, and
// 64 MB where the size is unknown), as the host's own work between two calls would: the plug-in's code and
// data then come back from memory, whatever caches the processor has.
class CacheEvictor {
public:
    CacheEvictor() : buffer_(Bytes()) {}
    static size_t Bytes() {
        const size_t cache = LastLevelCacheBytes();
        return cache == 0 ? size_t(64) << 20 : std::max(size_t(8) << 20, 2 * cache);
    }
    size_t Size() const { return buffer_.size(); }
    void Evict() {
        unsigned sum = 0;
        for (size_t i = 0; i < buffer_.size(); i += kLine) sum += buffer_[i];
        sink_ = sum;
    }

private:
    static constexpr size_t kLine = 64;
    std::vector<unsigned char> buffer_;
    volatile unsigned sink_ = 0;
};

inline double NowNs() {
    return static_cast<double>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count());
}

// The median and the minimum of a set of timings.
inline double Median(std::vector<double> v) {
    if (v.empty())
        return 0;
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
    return v[v.size() / 2];
}
inline double Minimum(const std::vector<double>& v) {
    return v.empty() ? 0 : *std::min_element(v.begin(), v.end());
}

}  // namespace bench

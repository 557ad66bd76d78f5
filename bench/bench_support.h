#pragma once
// What the benchmarks share: a temporary working directory (the plug-in writes its files into the current
// one) and a contest-like log to replay.
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "common/text.h"
#include "engine/args.h"

namespace bench {

namespace fs = std::filesystem;

const char* const kBands[] = {"80m", "40m", "20m", "15m", "10m"};
const char* const kStates[] = {"NY", "CA", "TX", "ON", "QC", "FL", "OH", "WA", "BC", "MA"};
const char* const kDxPrefixes[] = {"DL", "F", "G", "I", "EA", "OH", "SM", "UA", "JA", "VK", "ZL", "PY", "LU",
                                   "OK", "SP", "HA", "YO", "LZ", "9A", "S5", "OE", "HB", "ON", "PA", "OZ"};

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

private:
    fs::path previous_;
    fs::path path_;
};

// A contest-like log: three in five QSOs with W/VE stations sending their state, the rest DX sending
// serials, all five bands, about one dupe in fifty and one unacceptable state in a hundred.
inline std::vector<QsoArgs> MakeLog(size_t count, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<QsoArgs> log;
    log.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        if (i > 0 && random() % 50 == 0) {
            log.push_back(log[random() % i]);  // a dupe
            continue;
        }
        QsoArgs q;
        q.ownCall = "W1AW";
        q.band = kBands[random() % 5];
        q.mode = "RTTY";
        q.rstSent = "599";
        q.rstRcvd = "599";
        q.exchSent = "CT";
        q.frequencyHz = 14085000;
        q.time = COleDateTime(43834.75 + static_cast<double>(i) / 4000.0, COleDateTime::valid);
        if (random() % 5 < 3) {
            q.prefix = random() % 10 == 0 ? "VE" : "K";
            q.call = text::Format("%s%u%c%c%c", q.prefix == "K" ? "W" : "VE", static_cast<unsigned>(i % 10),
                                  'A' + static_cast<int>(i / 10 % 26), 'A' + static_cast<int>(i / 260 % 26),
                                  'A' + static_cast<int>(i / 6760 % 26));
            q.exchRcvd = random() % 100 == 0 ? "XX" : kStates[random() % 10];
        } else {
            q.prefix = kDxPrefixes[random() % (sizeof kDxPrefixes / sizeof kDxPrefixes[0])];
            q.call = text::Format("%s%uX%u", q.prefix.c_str(), static_cast<unsigned>(i % 10), static_cast<unsigned>(i));
            q.exchRcvd = text::Format("%03u", static_cast<unsigned>(i % 1000));
        }
        log.push_back(q);
    }
    return log;
}

inline ResetArgs MakeReset() {
    ResetArgs r;
    r.iniFolder = "./";
    r.ownCall = "W1AW";
    r.contestStart = COleDateTime(43834.75, COleDateTime::valid);
    r.contestEnd = COleDateTime(43836.0, COleDateTime::valid);
    r.ownPrefix = "K";
    return r;
}

}  // namespace bench

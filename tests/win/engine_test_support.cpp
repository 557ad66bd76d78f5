#include "engine_test_support.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// Handed in every position the engine does not read.
const char* const kDecoy = "DECOY";

}  // namespace

void KeepWindowsClosedOnNextReset() { WriteFileBytes("Plugins\\ARRL-RTTY.ini", "[Settings]\r\nStart=1\r\n"); }

int CallResetStats(Plugin& p, const std::string& iniFolder, int cabrilloRequest, const char* ownPrefix) {
    COleDateTime start = scenario::ContestStart();
    COleDateTime end = scenario::ContestEnd();
    const char* d = kDecoy;
    return p.ResetStats0(iniFolder.c_str(), cabrilloRequest, scenario::kOwnCall, &start, &end, d, d, d, d, d, d, d,
                         d, d, ownPrefix, 5, 6, 7, 8.5, 9.5, d, d, d);
}

namespace {

int CallQso(Plugin& p, const scenario::QsoRow& row, bool remove) {
    COleDateTime time = scenario::TimeOf(row);
    COleDateTime other = scenario::Jan2020(1, 1, 1);
    const char* d = kDecoy;
    auto fn = remove ? p.RemoveData0 : p.AddData0;
    return fn(scenario::kOwnCall, row.call, row.day == 0 ? nullptr : &time, &other, &other, &other, 777u, row.freqHz,
              row.mode, "599", "599", row.exchSent, row.exchRcvd, d, d, d, d, d, d, d, d, d, row.prefix, 24, 25, 26,
              27.5, 28.5, d, "aux", d, row.band, d);
}

}  // namespace

int CallAddData(Plugin& p, const scenario::QsoRow& row) { return CallQso(p, row, false); }

int CallRemoveData(Plugin& p, const scenario::QsoRow& row) { return CallQso(p, row, true); }

int CallCheckCall(Plugin& p, const scenario::CheckRow& row, bool* buffersUntouched) {
    char out1[32];
    char out2[32];
    std::memset(out1, 'a', sizeof out1);
    std::memset(out2, 'b', sizeof out2);
    const char* d = kDecoy;
    int result = p.CheckCall0(row.call, 2u, 3u, row.mode, d, d, d, d, d, d, d, d, d, row.prefix, 15, 16, 17, 18.5,
                              19.5, d, "aux", d, d, d, row.band, row.band2, out1, out2);
    if (buffersUntouched) {
        *buffersUntouched = true;
        for (size_t i = 0; i < sizeof out1; ++i) *buffersUntouched &= out1[i] == 'a' && out2[i] == 'b';
    }
    return result;
}

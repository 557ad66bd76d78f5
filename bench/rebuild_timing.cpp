// A rebuild as the host does it after loading its log: ResetStats0, one AddData0 per QSO of a realistic
// 10,000-QSO log, GetResult0, through the plug-in beside this program (Stats.dll under wine, where Google
// Benchmark is not at hand).
//
// Under Windows each rebuild runs with the windows a contester may have open, each case in a fresh working
// folder with the plug-in loaded afresh, and each once more with the whole process on one processor:
//   none     an old host version keeps the windows closed
//   control  the first start: the control window alone
//   all      the control window and the four status windows, as the settings ask for them
// This program is the host: it owns the host's Automation object (the call being entered is in the log,
// the radio on 20 m), calls the plug-in without serving messages during a rebuild, as a host's loop does,
// and serves them between rebuilds until the windows show the rebuilt log. What a rebuild asked of the
// system (refreshes, posts, paints, file and settings writes, lock waits) is counted per rebuild: unlike
// the times, these counts do not depend on what else the machine is doing.
//
//   rebuild_timing [RUNS] [--case NAME] [--line] [--no-host] [--pumping-host]
//     RUNS         timed rebuilds per case (default 30)
//     --case NAME  only this case (none, control, all, none-pinned, control-pinned, all-pinned)
//     --line       one line for the whole run instead of JSON: each case's minimum, median and
//                  90th percentile, and the largest median/minimum ratio ("ten runs in a row" checks)
//     --no-host    no Automation object: a host the windows cannot ask anything
//     --pumping-host  the host serves its messages after every AddData0, so the windows' calls to its object
//                  are answered during the burst
//
// JSON: {"rebuild_ms": {...the control case...}, "cases": {"none": {"min", "median", "p90", "runs",
// "counts": {per rebuild, medians}, "windows", "final_state"}, ...}}
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "bench_support.h"

#ifdef _WIN32
#include <windows.h>
#include <objbase.h>

#include "host_object.h"
#include "import_counter.h"
#include "pump.h"
#endif

namespace {

using namespace bench;

enum class Windows { none, control, all };

struct Case {
    const char* name;
    Windows windows;
    bool pinned;
};

constexpr Case kCases[] = {
    {"none", Windows::none, false},          {"control", Windows::control, false},
    {"all", Windows::all, false},            {"none-pinned", Windows::none, true},
    {"control-pinned", Windows::control, true}, {"all-pinned", Windows::all, true},
};

struct CaseResult {
    const Case* c = nullptr;
    std::vector<double> ms;
    std::vector<std::vector<double>> phases;  // [run]: reset, the AddData0 calls, GetResult0
    // Per rebuild, the median over the runs: refreshes handled and the host's answers asked for, then the
    // plug-in's counted calls.
    std::vector<std::vector<long>> counts;  // [run][counter]
    std::vector<std::string> counterNames;
    int windowsOpen = 0;
    bool finalState = true;
    std::string finalStateNote;
};

// A host that serves its messages after every AddData0 (so the windows' calls to its object are answered
// during the burst), instead of only after the rebuild.
bool pumpingHost = false;

void ServeMessages() {
#ifdef _WIN32
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
#endif
}

// One timed rebuild, with the time of each of its three parts.
double TimedRebuild(Host& host, const std::vector<QsoArgs>& log, std::vector<std::vector<double>>& phases) {
    const double start = NowNs();
    host.Reset(MakeReset());
    const double reset = NowNs();
    for (const QsoArgs& q : log) {
        host.Add(q);
        if (pumpingHost) ServeMessages();
    }
    const double added = NowNs();
    host.Result();
    const double end = NowNs();
    phases.push_back({(reset - start) / 1e6, (added - reset) / 1e6, (end - added) / 1e6});
    return (end - start) / 1e6;
}

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    size_t rank = static_cast<size_t>(std::ceil(p * static_cast<double>(v.size())));
    return v[rank == 0 ? 0 : rank - 1];
}

long MedianCount(const std::vector<std::vector<long>>& counts, size_t k) {
    std::vector<double> v;
    for (const auto& run : counts) v.push_back(static_cast<double>(run[k]));
    return static_cast<long>(Median(v));
}

#ifdef _WIN32

void WriteText(const char* path, const char* text) {
    std::ofstream(path, std::ios::binary) << text;
}

constexpr const char* kYear = "2024";  // of MakeReset's contest start
constexpr const char* kRefreshCountProperty = "StatsRefreshesHandled";

struct Found {
    DWORD pid;
    std::wstring prefix;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lParam) {
    auto* found = reinterpret_cast<Found*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != found->pid || !IsWindowVisible(hwnd)) return TRUE;
    wchar_t title[256] = {0};
    GetWindowTextW(hwnd, title, 256);
    if (std::wstring(title).rfind(found->prefix, 0) == 0) found->windows.push_back(hwnd);
    return TRUE;
}

std::vector<HWND> WindowsTitled(const std::wstring& prefix) {
    Found found{GetCurrentProcessId(), prefix, {}};
    EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&found));
    return found.windows;
}

HWND ControlWindow() {
    std::vector<HWND> w = WindowsTitled(L"Setup ARRL-RTTY-Roundup ");
    return w.empty() ? nullptr : w.front();
}

UINT_PTR RefreshesHandled(HWND control) {
    return control ? reinterpret_cast<UINT_PTR>(GetPropA(control, kRefreshCountProperty)) : 0;
}

std::string Narrow(const std::wstring& w) { return tolvsim::ToUtf8(w); }

// The titles the status windows show: what the rebuilt log must be seen as.
std::string StatusTitles() {
    std::string titles;
    for (const wchar_t* prefix : {L"ARRL-RTTY ", L" ARRL-RTTY "}) {
        for (HWND w : WindowsTitled(prefix)) {
            wchar_t title[256] = {0};
            GetWindowTextW(w, title, 256);
            titles += Narrow(title) + "|";
        }
    }
    return titles;
}

// Serves messages until the window thread has handled every refresh the rebuild asked for: the count of
// handled refreshes has moved since `before` and then stood still for a while.
void SettleWindows(HWND control, UINT_PTR before) {
    if (control == nullptr) return;
    tolvsim::PumpUntil([&] { return RefreshesHandled(control) > before; }, 5000);
    for (UINT_PTR seen = RefreshesHandled(control);;) {
        tolvsim::PumpFor(40);
        UINT_PTR now = RefreshesHandled(control);
        if (now == seen) break;
        seen = now;
    }
}

class HostStandIn {
public:
    explicit HostStandIn(bool withObject) {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        if (!withObject) return;
        object.currentCall = std::wstring(kCurrentCall, kCurrentCall + std::strlen(kCurrentCall));
        object.frequencyHz = 14080000.0;
        std::string error;
        if (FAILED(tolvsim::RegisterHostObject(&object, &cookie_, &error)))
            std::fprintf(stderr, "rebuild_timing: %s; the windows run without a host\n", error.c_str());
    }
    ~HostStandIn() {
        tolvsim::RevokeHostObject(cookie_);
        CoUninitialize();
    }
    tolvsim::HostObject object;

private:
    DWORD cookie_ = 0;
};

CaseResult RunCase(const Case& c, const std::vector<QsoArgs>& log, int runs, HostStandIn& hostObject) {
    CaseResult result;
    result.c = &c;
    DWORD_PTR processMask = 0, systemMask = 0;
    GetProcessAffinityMask(GetCurrentProcess(), &processMask, &systemMask);
    SetProcessAffinityMask(GetCurrentProcess(), c.pinned ? 1 : systemMask);
    {
        BenchDir dir;
        if (c.windows == Windows::none) WriteText("Tolv2.ini", "[Tolv]\r\nTolv=2.14R\r\n");
        if (c.windows == Windows::all)
            WriteText("Plugins\\ARRL-RTTY.ini",
                      "[Settings]\r\nsetup_view_state=1\r\nsetup_view_dxcc=1\r\nsetup_view_dxcc_extended=1\r\n"
                      "Timer=1\r\n");
        Host host;
        if (!host.Load()) std::exit(2);
        CountImportsOf(GetModuleHandleA("Stats.dll"));

        // The host's first rebuild of the session opens the windows (untimed).
        host.Fill(log);
        host.Result();
        HWND control = nullptr;
        if (c.windows != Windows::none) {
            tolvsim::PumpUntil([&] { return (control = ControlWindow()) != nullptr; }, 5000);
            SettleWindows(control, 0);
        }
        result.windowsOpen = static_cast<int>(WindowsTitled(L"").size());

        result.counterNames = {"refreshes", "host_calls"};
        for (int k = 0; k < kCountedKinds; ++k) result.counterNames.push_back(CountedName(k));
        for (int i = 0; i < runs; ++i) {
            const UINT_PTR refreshesBefore = RefreshesHandled(control);
            const int hostCallsBefore = hostObject.object.callReads + hostObject.object.frequencyReads;
            const ImportCounts before = ReadImportCounts();
            result.ms.push_back(TimedRebuild(host, log, result.phases));
            SettleWindows(control, refreshesBefore);
            const ImportCounts during = ReadImportCounts() - before;
            std::vector<long> counts = {
                static_cast<long>(RefreshesHandled(control) - refreshesBefore),
                static_cast<long>(hostObject.object.callReads + hostObject.object.frequencyReads - hostCallsBefore)};
            counts.insert(counts.end(), during.n, during.n + kCountedKinds);
            result.counts.push_back(counts);
        }

        // The windows show the rebuilt log: one more refresh, asked for by a call check as the host's typing
        // does, changes none of their titles.
        if (control != nullptr) {
            const std::string shown = StatusTitles();
            const UINT_PTR before = RefreshesHandled(control);
            CheckArgs check;
            check.call = kCurrentCall;
            check.mode = "RTTY";
            check.prefix = "K";
            check.band = "20m";
            host.Check(check);
            SettleWindows(control, before);
            const std::string again = StatusTitles();
            result.finalState = shown == again;
            if (!result.finalState) result.finalStateNote = "after the burst: " + shown + " then: " + again;
            const std::string dxcc = std::string("ARRL-RTTY ") + kYear + " DXCC worked ";
            if (c.windows == Windows::all && shown.find(dxcc) == std::string::npos) {
                result.finalState = false;
                result.finalStateNote = "no DXCC title: " + shown;
            }
        }
        // Unloading closes the windows; the host's object is served meanwhile.
    }
    SetProcessAffinityMask(GetCurrentProcess(), systemMask);
    return result;
}

#else

struct HostStandIn {
    explicit HostStandIn(bool) {}
};

CaseResult RunCase(const Case& c, const std::vector<QsoArgs>& log, int runs, HostStandIn&) {
    CaseResult result;
    result.c = &c;
    BenchDir dir;
    Host host;
    if (!host.Load()) std::exit(2);
    host.Fill(log);
    host.Result();
    for (int i = 0; i < runs; ++i) {
        result.ms.push_back(TimedRebuild(host, log, result.phases));
    }
    return result;
}

#endif

void PrintTimes(const CaseResult& r, size_t qsos) {
    std::printf("{\"min\": %.3f, \"median\": %.3f, \"p90\": %.3f, \"runs\": %zu, \"qsos\": %zu", Minimum(r.ms),
                Median(r.ms), Percentile(r.ms, 0.9), r.ms.size(), qsos);
    const char* const names[] = {"reset", "add", "result"};
    std::printf(", \"parts_ms\": {");
    for (size_t k = 0; k < 3; ++k) {
        std::vector<double> v;
        for (const auto& run : r.phases) v.push_back(run[k]);
        std::printf("%s\"%s\": {\"min\": %.3f, \"median\": %.3f}", k ? ", " : "", names[k], Minimum(v), Median(v));
    }
    std::printf("}");
}

}  // namespace

int main(int argc, char** argv) {
    const size_t qsos = 10000;
    int runs = 30;
    bool line = false;
    bool hostObject = true;
    std::string only;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--line") {
            line = true;
        } else if (a == "--pumping-host") {
            pumpingHost = true;
        } else if (a == "--no-host") {
            hostObject = false;
        } else if (a == "--case" && i + 1 < argc) {
            only = argv[++i];
        } else if (!a.empty() && a[0] != '-') {
            runs = std::atoi(a.c_str());
        } else {
            std::fprintf(stderr, "usage: rebuild_timing [RUNS] [--case NAME] [--line] [--no-host] [--pumping-host]\n");
            return 2;
        }
    }
    if (runs < 1) runs = 1;

    const std::vector<QsoArgs> log = RealisticLog(qsos, 3);
    if (log.empty()) return 2;
    HostStandIn host(hostObject);
    std::vector<CaseResult> results;
    for (const Case& c : kCases) {
#ifndef _WIN32
        if (c.windows != Windows::none || c.pinned) continue;  // no windows, and no process affinity here
#endif
        if (!only.empty() && only != c.name) continue;
        results.push_back(RunCase(c, log, runs, host));
    }
    if (results.empty()) {
        std::fprintf(stderr, "rebuild_timing: no case named %s\n", only.c_str());
        return 2;
    }

    bool finalState = true;
    for (const CaseResult& r : results) finalState = finalState && r.finalState;
    if (line) {
        double worst = 0;
        for (const CaseResult& r : results) {
            const double ratio = Median(r.ms) / Minimum(r.ms);
            worst = std::max(worst, ratio);
            std::printf("%s %.1f/%.1f/%.1f ms  ", r.c->name, Minimum(r.ms), Median(r.ms), Percentile(r.ms, 0.9));
        }
        std::printf("(min/median/p90)  worst median/min %.2fx%s\n", worst, finalState ? "" : "  FINAL STATE WRONG");
    } else {
        const CaseResult* main = &results.front();
        for (const CaseResult& r : results)
            if (std::strcmp(r.c->name, "control") == 0) main = &r;
        std::printf("{\"rebuild_ms\": ");
        PrintTimes(*main, qsos);
        std::printf("},\n \"cases\": {");
        for (size_t i = 0; i < results.size(); ++i) {
            const CaseResult& r = results[i];
            std::printf("%s\n  \"%s\": ", i ? "," : "", r.c->name);
            PrintTimes(r, qsos);
            std::printf(", \"windows\": %d, \"final_state\": %s", r.windowsOpen, r.finalState ? "true" : "false");
            if (!r.counterNames.empty()) {
                std::printf(", \"counts\": {");
                for (size_t k = 0; k < r.counterNames.size(); ++k)
                    std::printf("%s\"%s\": %ld", k ? ", " : "", r.counterNames[k].c_str(), MedianCount(r.counts, k));
                std::printf("}");
            }
            std::printf("}");
            if (!r.finalState) std::fprintf(stderr, "rebuild_timing: %s: %s\n", r.c->name, r.finalStateNote.c_str());
        }
        std::printf("}}\n");
    }
    return finalState ? 0 : 1;
}

// tolvsim: a Windows stand-in for the host program. It owns the Automation object "Tolv2.Application",
// loads the plug-in and drives it with commands read one per line from a script file or standard input,
// pumping messages all the while so the plug-in's window thread can call the object.
//
//   tolvsim.exe [--plugin PATH] [--no-host] [--host-version V] [SCRIPT]
#include <windows.h>
#include <objbase.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "engine/host_version.h"
#include "host_object.h"
#include "pump.h"
#include "simulator.h"

namespace {

constexpr const char* kUsage =
    "usage: tolvsim.exe [--plugin PATH] [--no-host] [--host-version V] [SCRIPT]\n"
    "commands: freq HZ | call TEXT | reset [cabrillo] OWNCALL OWNPREFIX START END |\n"
    "  add|remove CALL BAND MODE FREQHZ YYYY-MM-DD HH:MM RSTSENT EXCHSENT RSTRCVD EXCHRCVD PREFIX |\n"
    "  replay LOGFILE | check CALL BAND MODE PREFIX | result [html] | wait MS | windows | click TITLEPREFIX CONTROLID |\n"
    "  text TITLEPREFIX CONTROLID | checked TITLEPREFIX CONTROLID | pixel TITLEPREFIX CONTROLID X Y |\n"
    "  unload | quit\n"
    "dates are YYYY-MM-DD HH:MM (UTC)\n";

std::mutex outputMutex;

void PrintLine(const std::string& line) {
    std::lock_guard<std::mutex> lock(outputMutex);
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// Lines of the command source, read on a thread of their own so the main thread keeps pumping.
class LineReader {
public:
    explicit LineReader(FILE* source) : source_(source), ready_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
        thread_ = std::thread([this] { Read(); });
        thread_.detach();
    }

    // Waits (pumping) for the next line; false at the end of the input.
    bool Next(std::string* line) {
        tolvsim::PumpUntil([this] { return WaitForSingleObject(ready_, 0) == WAIT_OBJECT_0; }, INFINITE);
        std::lock_guard<std::mutex> lock(mutex_);
        if (lines_.empty()) return false;  // ended
        *line = lines_.front();
        lines_.pop_front();
        if (lines_.empty() && !ended_) ResetEvent(ready_);
        return true;
    }

private:
    void Read() {
        std::string line;
        char buffer[4096];
        while (std::fgets(buffer, sizeof buffer, source_) != nullptr) {
            line += buffer;
            if (line.empty() || line.back() != '\n') continue;
            Push(line);
            line.clear();
        }
        if (!line.empty()) Push(line);
        std::lock_guard<std::mutex> lock(mutex_);
        ended_ = true;
        SetEvent(ready_);
    }
    void Push(const std::string& line) {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.push_back(line);
        SetEvent(ready_);
    }

    FILE* source_;
    HANDLE ready_;
    std::thread thread_;
    std::mutex mutex_;
    std::deque<std::string> lines_;
    bool ended_ = false;
};

std::string BesideProgram(const char* name) {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p(path, n);
    return p.substr(0, p.find_last_of("\\/") + 1) + name;
}

bool WriteHostIni(const std::string& version) {
    FILE* f = std::fopen(hostversion::kHostIniName, "wb");
    if (f == nullptr) return false;
    std::fputs(hostversion::HostIniText(version).c_str(), f);
    return std::fclose(f) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string pluginPath = BesideProgram("Stats.dll");
    std::string scriptPath;
    std::string hostVersion;
    bool withHost = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--plugin") == 0 && i + 1 < argc) {
            pluginPath = argv[++i];
        } else if (std::strcmp(argv[i], "--no-host") == 0) {
            withHost = false;
        } else if (std::strcmp(argv[i], "--host-version") == 0 && i + 1 < argc) {
            hostVersion = argv[++i];
        } else if (std::strcmp(argv[i], "--help") == 0 || argv[i][0] == '-' || !scriptPath.empty()) {
            std::fputs(kUsage, stderr);
            return std::strcmp(argv[i], "--help") == 0 ? 0 : 1;
        } else {
            scriptPath = argv[i];
        }
    }

    FILE* source = stdin;
    if (!scriptPath.empty()) {
        source = std::fopen(scriptPath.c_str(), "rb");
        if (source == nullptr) {
            std::fprintf(stderr, "tolvsim: cannot open script %s\n", scriptPath.c_str());
            return 1;
        }
    }

    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    tolvsim::HostObject host;
    host.onMacro = [](const std::wstring& macro) { PrintLine("MACRO " + tolvsim::ToUtf8(macro)); };
    DWORD cookie = 0;
    if (withHost) {
        std::string error;
        if (FAILED(tolvsim::RegisterHostObject(&host, &cookie, &error))) {
            std::fprintf(stderr, "tolvsim: %s\n", error.c_str());
            CoUninitialize();
            return 2;
        }
    }
    if (!hostVersion.empty() && !WriteHostIni(hostVersion)) {
        std::fprintf(stderr, "tolvsim: cannot write Tolv2.ini in the current directory\n");
        return 1;
    }

    PluginLibrary plugin;
    std::string error;
    if (!plugin.Load(pluginPath, error)) {
        std::fprintf(stderr, "tolvsim: %s\n", error.c_str());
        tolvsim::RevokeHostObject(cookie);
        CoUninitialize();
        return 3;
    }

    tolvsim::Simulator simulator(host, plugin, &PrintLine);
    LineReader reader(source);
    std::string line;
    while (reader.Next(&line)) {
        if (!simulator.Execute(line)) break;
    }

    // Leaving without unloading is the host's process exit: the plug-in must not wait for its windows.
    tolvsim::RevokeHostObject(cookie);
    std::fflush(stdout);
    ExitProcess(0);
}

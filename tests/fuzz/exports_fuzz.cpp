// libFuzzer target: the plug-in driven as a host at its worst could drive it. An input is a script of
// export calls, one per line. The line's first character picks the export (N GetNumberOfSets,
// X GetExchgCount0, S GetSetName, U SetupSet0, V setVersion, I IsValidExchg0, C CheckCall0, A AddData0,
// D RemoveData0, R ResetStats0, G GetResult0; any other byte picks one by its value), and the tab-separated
// fields after it are the arguments in order:
//   a text is the field itself; "~" or a missing field is a null pointer;
//   a number is the field read as a decimal number (0 when it is none);
//   a date-time pointer is "~" or missing for null, else "days:status" with the days read as a double
//   ("nan", "inf", "-1e308" are dates too) and the status as an integer (0 valid, 1 invalid, 2 null).
// Every input starts from a library just loaded, in an empty working folder of its own (in /dev/shm: the
// plug-in replaces files by renaming, which is slow on a disk) that holds host/Tolv2.ini, so folder
// prefixes and wildcards find something. The target changes into that folder at start: give the fuzzer
// absolute paths. Besides what the sanitizers catch, the results must stay in their ranges and each report
// must stay readable until the next GetResult0.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <type_traits>
#include <vector>

#include "app/exports/exports.h"
#include "app/plugin_object.h"
#include "platform/prompts.h"

extern "C" {
std::remove_pointer_t<GetNumberOfSetsFn> GetNumberOfSets;
std::remove_pointer_t<GetExchgCount0Fn> GetExchgCount0;
std::remove_pointer_t<GetSetNameFn> GetSetName;
std::remove_pointer_t<SetupSet0Fn> SetupSet0;
std::remove_pointer_t<SetVersionFn> setVersion;
std::remove_pointer_t<IsValidExchg0Fn> IsValidExchg0;
std::remove_pointer_t<CheckCall0Fn> CheckCall0;
std::remove_pointer_t<AddData0Fn> AddData0;
std::remove_pointer_t<RemoveData0Fn> RemoveData0;
std::remove_pointer_t<ResetStats0Fn> ResetStats0;
std::remove_pointer_t<GetResult0Fn> GetResult0;
}

namespace {

namespace fs = std::filesystem;

class SilentPrompts : public Prompts {
public:
    void ShowMessage(const std::string&, const char*, MessageIcon) override {}
};

// One line's arguments. Texts, dates and buffers live as long as the line's call.
class Args {
public:
    explicit Args(const std::string& line) {
        size_t pos = 1;
        while (pos <= line.size()) {
            size_t tab = line.find('\t', pos);
            if (tab == std::string::npos) tab = line.size();
            fields_.push_back(line.substr(pos, tab - pos));
            pos = tab + 1;
        }
    }
    const char* Text(size_t i) { return Null(i) ? nullptr : fields_[i].c_str(); }
    char* Buffer(size_t i) {
        if (Null(i)) return nullptr;
        buffers_.emplace_back(fields_[i].size() + 1, '\0');
        return buffers_.back().data();
    }
    long long Int(size_t i) { return Null(i) ? 0 : std::strtoll(fields_[i].c_str(), nullptr, 10); }
    double Double(size_t i) { return Null(i) ? 0.0 : std::strtod(fields_[i].c_str(), nullptr); }
    COleDateTime* Date(size_t i) {
        if (Null(i)) return nullptr;
        char* end = nullptr;
        double days = std::strtod(fields_[i].c_str(), &end);
        int32_t status = *end == ':' ? static_cast<int32_t>(std::strtol(end + 1, nullptr, 10)) : 0;
        dates_.emplace_back(days, status);
        return &dates_.back();
    }

private:
    bool Null(size_t i) const { return i >= fields_.size() || fields_[i] == "~"; }
    std::vector<std::string> fields_;
    std::deque<std::vector<char>> buffers_;
    std::deque<COleDateTime> dates_;
};

void Require(bool condition) {
    if (!condition) std::abort();
}

void StartFresh(const std::string& folder) {
    CTestApp& app = CTestApp::Instance();
    {
        auto lock = app.LockEngine();
        const contest::Record& contest = lock->contest;
        std::destroy_at(&*lock);
        ::new (static_cast<void*>(&*lock)) Engine(contest);
        std::destroy_at(&app.cabrillo);
        ::new (static_cast<void*>(&app.cabrillo)) CabrilloExport(contest);
    }
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(folder, ec)) fs::remove_all(e.path(), ec);
    fs::create_directories(folder + "/Plugins", ec);
    fs::create_directories(folder + "/host", ec);
    std::ofstream(folder + "/host/Tolv2.ini", std::ios::binary) << "[Tolv]\r\nTolv=2.21\r\n";
}

const char* Call(char op, Args& a, const char* report) {
    static const char kOps[] = "NXSUVICADRG";
    const char* known = std::strchr(kOps, op);
    if (op == '\0' || known == nullptr) op = kOps[static_cast<unsigned char>(op) % (sizeof kOps - 1)];
    switch (op) {
        case 'N': Require(GetNumberOfSets() == 1); break;
        case 'X': Require(GetExchgCount0(a.Text(0), a.Text(1), a.Text(2)) == 1); break;
        case 'S': Require(GetSetName(static_cast<int>(a.Int(0))) != nullptr); break;
        case 'U': SetupSet0(); break;
        case 'V': setVersion(a.Text(0)); break;
        case 'I': {
            int r = IsValidExchg0(a.Text(0), a.Text(1), a.Text(2), a.Text(3), static_cast<int>(a.Int(4)),
                                  static_cast<int>(a.Int(5)), static_cast<int>(a.Int(6)));
            Require(r == 0 || r == 1);
            break;
        }
        case 'C': {
            int r = CheckCall0(a.Text(0), static_cast<unsigned>(a.Int(1)), static_cast<unsigned>(a.Int(2)), a.Text(3),
                               a.Text(4), a.Text(5), a.Text(6), a.Text(7), a.Text(8), a.Text(9), a.Text(10),
                               a.Text(11), a.Text(12), a.Text(13), static_cast<int>(a.Int(14)),
                               static_cast<int>(a.Int(15)), static_cast<int>(a.Int(16)), a.Double(17), a.Double(18),
                               a.Text(19), a.Text(20), a.Text(21), a.Text(22), a.Text(23), a.Text(24), a.Text(25),
                               a.Buffer(26), a.Buffer(27));
            Require(r >= 0 && r <= 4);
            break;
        }
        case 'A':
        case 'D': {
            auto* fn = op == 'A' ? AddData0 : RemoveData0;
            int r = fn(a.Text(0), a.Text(1), a.Date(2), a.Date(3), a.Date(4), a.Date(5),
                       static_cast<unsigned>(a.Int(6)), static_cast<unsigned>(a.Int(7)), a.Text(8), a.Text(9),
                       a.Text(10), a.Text(11), a.Text(12), a.Text(13), a.Text(14), a.Text(15), a.Text(16),
                       a.Text(17), a.Text(18), a.Text(19), a.Text(20), a.Text(21), a.Text(22),
                       static_cast<int>(a.Int(23)), static_cast<int>(a.Int(24)), static_cast<int>(a.Int(25)),
                       a.Double(26), a.Double(27), a.Text(28), a.Text(29), a.Text(30), a.Text(31), a.Text(32));
            Require(op == 'A' ? (r == 0 || r == 1) : r == 1);
            break;
        }
        case 'R': {
            int r = ResetStats0(a.Text(0), static_cast<int>(a.Int(1)), a.Text(2), a.Date(3), a.Date(4), a.Text(5),
                                a.Text(6), a.Text(7), a.Text(8), a.Text(9), a.Text(10), a.Text(11), a.Text(12),
                                a.Text(13), a.Text(14), static_cast<int>(a.Int(15)), static_cast<int>(a.Int(16)),
                                static_cast<int>(a.Int(17)), a.Double(18), a.Double(19), a.Text(20), a.Text(21),
                                a.Text(22));
            Require(r == 1);
            break;
        }
        case 'G': {
            int out = 0;
            int* target = a.Int(0) == 0 ? nullptr : &out;
            report = GetResult0(target);
            Require(report != nullptr && (target == nullptr || out == -1));
            break;
        }
    }
    return report;
}

std::string workFolder;
SilentPrompts prompts;
unsigned long long exportCalls = 0;  // reported at exit: a long run is measured in calls as well as inputs

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char folder[] = "/dev/shm/stats-fuzz-XXXXXX";
    char fallback[] = "/tmp/stats-fuzz-XXXXXX";
    const char* made = mkdtemp(folder);
    if (made == nullptr) made = mkdtemp(fallback);
    if (made == nullptr || chdir(made) != 0) std::abort();
    workFolder = made;
    std::atexit([] {
        std::error_code ec;
        fs::remove_all(workFolder, ec);
        std::fprintf(stderr, "exports_fuzz: %llu export calls\n", exportCalls);
    });
    SetPromptsForTesting(&prompts);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    StartFresh(workFolder);
    const std::string script(reinterpret_cast<const char*>(data), size);
    const char* report = nullptr;
    size_t pos = 0;
    while (pos < script.size()) {
        size_t end = script.find('\n', pos);
        if (end == std::string::npos) end = script.size();
        const std::string line = script.substr(pos, end - pos);
        pos = end + 1;
        if (line.empty()) continue;
        // The last report must still be there whatever came since.
        if (report != nullptr) Require(std::strlen(report) < (size_t{1} << 30));
        Args args(line);
        report = Call(line[0], args, report);
        ++exportCalls;
    }
    return 0;
}

// What the host's calls cost in counts rather than in time, as the log grows from 1,000 to 1,000,000 QSOs:
// the index probes and slots a CheckCall0 visits, the allocations it makes, and the file calls of AddData0.
// Counts depend on the code alone, not on the processor's caches, its clock or the other work of the machine,
// so scripts/bench.sh judges the speed goals "flat" and "no scan" on them; the times stay beside them as
// reports. The engine runs here as the exports run it (CTestApp, the plug-in's own code, linked in), with the
// same logs and questions as the timed benchmarks.
//
//   engine_counts [SIZE...]   JSON on standard output; default sizes 1000 10000 100000 1000000
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "app/plugin_object.h"
#include "contest/arrl_rtty_roundup.h"
#include "bench_support.h"
#include "platform/file_io.h"

namespace {

std::atomic<unsigned long long> allocations{0};

}  // namespace

// Every allocation of this program, the plug-in's code included, is counted.
void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& t) noexcept { return operator new(size, t); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

using namespace bench;

struct FileCounts {
    unsigned long long opens = 0, reads = 0, writes = 0, flushes = 0, closes = 0, moves = 0, removes = 0, lines = 0;
    unsigned long long Calls() const { return opens + reads + writes + flushes + closes + moves + removes; }
};
FileCounts files;

const platform::FileCalls kCountingCalls = {
    [](const char* path, const char* mode) {
        ++files.opens;
        return platform::SystemFileCalls().open(path, mode);
    },
    [](void* data, size_t size, size_t count, std::FILE* f) {
        ++files.reads;
        return platform::SystemFileCalls().read(data, size, count, f);
    },
    [](std::FILE* f) { return platform::SystemFileCalls().error(f); },
    [](const void* data, size_t size, size_t count, std::FILE* f) {
        ++files.writes;
        const char* bytes = static_cast<const char*>(data);
        for (size_t i = 0; i + 1 < size * count; ++i) files.lines += bytes[i] == '\r' && bytes[i + 1] == '\n';
        return platform::SystemFileCalls().write(data, size, count, f);
    },
    [](std::FILE* f) {
        ++files.flushes;
        return platform::SystemFileCalls().flush(f);
    },
    [](std::FILE* f) {
        ++files.closes;
        return platform::SystemFileCalls().close(f);
    },
    [](const std::string& from, const std::string& to) {
        ++files.moves;
        return platform::SystemFileCalls().moveOver(from, to);
    },
    [](const std::string& path) {
        ++files.removes;
        return platform::SystemFileCalls().remove(path);
    },
};

IndexProbeCounts Probes(CTestApp& app) { return app.LockEngine()->qsoLog.IndexProbes(); }

void PrintSize(size_t size) {
    BenchDir dir;
    auto app = std::make_unique<CTestApp>(contest::ArrlRttyRoundup());
    const std::vector<QsoArgs> log = RealisticLog(size, 1);
    const std::vector<CheckArgs> checks = CheckQuestions(log, 512);
    if (log.empty()) std::exit(2);

    app->ResetStats(MakeReset());
    // The rebuild: one AddData0 per QSO, as the host sends them.
    files = FileCounts();
    platform::SetFileCallsForTesting(&kCountingCalls);
    const unsigned long long allocationsBefore = allocations.load();
    const IndexProbeCounts addBefore = Probes(*app);
    for (const QsoArgs& q : log) {
        QsoArgs copy = q;  // the export builds its own arguments from the host's texts
        app->AddData(std::move(copy));
    }
    const IndexProbeCounts addAfter = Probes(*app);
    // A burst of AddData0 calls writes its bad-QSO lines at the next call of another kind: the rebuild's file
    // calls are those of the burst and of that call.
    app->CheckCall(checks.front());
    const FileCounts added = files;
    const double addAllocations =
        static_cast<double>(allocations.load() - allocationsBefore) / static_cast<double>(log.size());
    platform::SetFileCallsForTesting(nullptr);

    // The questions, one at a time.
    unsigned long long checkAllocations = 0, maxSlots = 0;
    IndexProbeCounts checked;
    for (const CheckArgs& c : checks) {
        const IndexProbeCounts before = Probes(*app);
        const unsigned long long a = allocations.load();
        app->CheckCall(c);
        checkAllocations += allocations.load() - a;
        const IndexProbeCounts after = Probes(*app);
        checked.probes += after.probes - before.probes;
        checked.slots += after.slots - before.slots;
        maxSlots = std::max<unsigned long long>(maxSlots, after.slots - before.slots);
    }
    const double n = static_cast<double>(checks.size());
    const double q = static_cast<double>(log.size());
    std::printf("  \"%zu\": {\"check\": {\"probes\": %.3f, \"slots\": %.3f, \"max_slots\": %llu, \"allocations\": %.3f},\n",
                size, static_cast<double>(checked.probes) / n, static_cast<double>(checked.slots) / n, maxSlots,
                static_cast<double>(checkAllocations) / n);
    std::printf("          \"add\": {\"probes\": %.3f, \"slots\": %.3f, \"allocations\": %.3f, \"file_calls\": %llu, "
                "\"file_opens\": %llu, \"lines\": %llu}}",
                static_cast<double>(addAfter.probes - addBefore.probes) / q,
                static_cast<double>(addAfter.slots - addBefore.slots) / q, addAllocations, added.Calls(),
                added.opens, added.lines);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<size_t> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::strtoul(argv[i], nullptr, 10));
    if (sizes.empty()) sizes = {1000, 10000, 100000, 1000000};
    std::printf("{\"sizes\": {\n");
    for (size_t i = 0; i < sizes.size(); ++i) {
        if (i) std::printf(",\n");
        PrintSize(sizes[i]);
    }
    std::printf("}}\n");
    return 0;
}

#include "child_process.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <thread>

#if defined(_WIN32)
#include <windows.h>
#include <io.h>
#include <process.h>
#else
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#if defined(__linux__)
#include <sys/prctl.h>
#endif
extern char** environ;
#endif

namespace check {

namespace {

std::atomic<bool> stopRequested{false};
std::atomic<int> stopSignal{0};
// The workers running, for the stop handler, which may only read plain memory and call async-safe functions.
constexpr int kMaxChildren = 1024;
std::atomic<intptr_t> children[kMaxChildren];

void Register(intptr_t handle) {
    for (auto& c : children) {
        intptr_t none = 0;
        if (c.compare_exchange_strong(none, handle)) return;
    }
}

void Unregister(intptr_t handle) {
    for (auto& c : children) {
        intptr_t mine = handle;
        if (c.compare_exchange_strong(mine, 0)) return;
    }
}

void KillHandle(intptr_t handle);

void KillAllChildren() {
    for (auto& c : children) {
        const intptr_t h = c.load();
        if (h != 0) KillHandle(h);
    }
}

}  // namespace

#if defined(_WIN32)

namespace {

// _spawnv joins the arguments with blanks: each is quoted as the C runtime will split it again.
std::string Quote(const std::string& arg) {
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
    std::string out = "\"";
    size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    return out + "\"";
}

// Every worker is in this job, which ends them all when the checker's last handle to it closes: when the
// checker ends, however it ends.
HANDLE WorkerJob() {
    static HANDLE job = [] {
        HANDLE j = CreateJobObjectA(nullptr, nullptr);
        if (j) {
            JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
            limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
            SetInformationJobObject(j, JobObjectExtendedLimitInformation, &limits, sizeof limits);
        }
        return j;
    }();
    return job;
}

void KillHandle(intptr_t handle) { TerminateProcess(reinterpret_cast<HANDLE>(handle), 1); }

BOOL WINAPI OnConsoleEvent(DWORD) {
    stopRequested = true;
    KillAllChildren();
    return TRUE;
}

}  // namespace

bool ChildProcess::Start(const std::string& program, const std::vector<std::string>& args, std::string& error) {
    std::vector<std::string> quoted{Quote(program)};
    for (const std::string& a : args) quoted.push_back(Quote(a));
    std::vector<const char*> argv;
    for (const std::string& q : quoted) argv.push_back(q.c_str());
    argv.push_back(nullptr);
    handle_ = _spawnv(_P_NOWAIT, program.c_str(), argv.data());
    if (handle_ == -1) {
        error = "cannot start " + program;
        return false;
    }
    if (HANDLE job = WorkerJob()) AssignProcessToJobObject(job, reinterpret_cast<HANDLE>(handle_));
    running_ = true;
    Register(handle_);
    if (stopRequested) Kill();
    return true;
}

bool ChildProcess::Finished(std::string& how, bool& clean, bool& bySignal) {
    if (!running_) return true;
    HANDLE h = reinterpret_cast<HANDLE>(handle_);
    if (WaitForSingleObject(h, 0) != WAIT_OBJECT_0) return false;
    DWORD code = 0;
    GetExitCodeProcess(h, &code);
    Unregister(handle_);
    CloseHandle(h);
    running_ = false;
    clean = code == 0;
    // An exception code (0xC0000005, access violation) is what Windows has for a signal.
    bySignal = code >= 0xC0000000u;
    char text[40];
    std::snprintf(text, sizeof text, bySignal ? "exception 0x%08lX" : "exit code %lu", static_cast<unsigned long>(code));
    how = text;
    return true;
}

void ChildProcess::Kill() {
    if (running_) KillHandle(handle_);
}

ChildProcess::~ChildProcess() {
    if (running_) {
        WaitForSingleObject(reinterpret_cast<HANDLE>(handle_), INFINITE);
        Unregister(handle_);
        CloseHandle(reinterpret_cast<HANDLE>(handle_));
    }
}

std::string ProgramPath() {
    char buf[MAX_PATH * 2];
    DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
    return std::string(buf, n < sizeof buf ? n : 0);
}

bool ErrorIsTerminal() { return _isatty(2) != 0; }

void InstallStopHandlers() { SetConsoleCtrlHandler(OnConsoleEvent, TRUE); }

void EndWithParent() {}  // the checker's job ends its workers

std::string MemoryFolder() { return ""; }

#else

namespace {

void KillHandle(intptr_t handle) { kill(static_cast<pid_t>(handle), SIGKILL); }

void OnStopSignal(int signal) {
    stopSignal = signal;
    stopRequested = true;
    KillAllChildren();
}

const char* SignalName(int signal) {
    switch (signal) {
        case SIGHUP: return "SIGHUP";
        case SIGINT: return "SIGINT";
        case SIGQUIT: return "SIGQUIT";
        case SIGILL: return "SIGILL";
        case SIGABRT: return "SIGABRT";
        case SIGBUS: return "SIGBUS";
        case SIGFPE: return "SIGFPE";
        case SIGKILL: return "SIGKILL";
        case SIGSEGV: return "SIGSEGV";
        case SIGPIPE: return "SIGPIPE";
        case SIGTERM: return "SIGTERM";
        default: return "a signal";
    }
}

}  // namespace

bool ChildProcess::Start(const std::string& program, const std::vector<std::string>& args, std::string& error) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    int rc = posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ);
    if (rc != 0) {
        error = "cannot start " + program + ": " + std::strerror(rc);
        return false;
    }
    handle_ = pid;
    running_ = true;
    Register(handle_);
    if (stopRequested) Kill();
    return true;
}

bool ChildProcess::Finished(std::string& how, bool& clean, bool& bySignal) {
    if (!running_) return true;
    int status = 0;
    pid_t r = waitpid(static_cast<pid_t>(handle_), &status, WNOHANG);
    if (r == 0) return false;
    Unregister(handle_);
    running_ = false;
    clean = r > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    bySignal = r > 0 && WIFSIGNALED(status);
    if (bySignal) {
        how = "signal " + std::to_string(WTERMSIG(status)) + " (" + SignalName(WTERMSIG(status)) + ")";
    } else if (r > 0 && WIFEXITED(status)) {
        how = "exit code " + std::to_string(WEXITSTATUS(status));
    } else {
        how = "an end that could not be learnt";
    }
    return true;
}

void ChildProcess::Kill() {
    if (running_) KillHandle(handle_);
}

ChildProcess::~ChildProcess() {
    if (running_) {
        int status = 0;
        waitpid(static_cast<pid_t>(handle_), &status, 0);
        Unregister(handle_);
    }
}

std::string ProgramPath() {
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    return std::string(buf, n > 0 ? static_cast<size_t>(n) : 0);
}

bool ErrorIsTerminal() { return isatty(2) != 0; }

void InstallStopHandlers() {
    struct sigaction a {};
    a.sa_handler = OnStopSignal;
    sigemptyset(&a.sa_mask);
    for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaction(s, &a, nullptr);
}

std::string MemoryFolder() {
    char name[] = "/dev/shm/stats-check.XXXXXX";
    return mkdtemp(name) ? std::string(name) : std::string();
}

void EndWithParent() {
#if defined(__linux__)
    const pid_t parent = getppid();
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(2);  // the checker ended before the request took hold
#endif
}

#endif

bool StopRequested() { return stopRequested; }
int StopSignal() { return stopSignal; }

int ProcessorCount() {
    unsigned n = std::thread::hardware_concurrency();
    return n > 0 ? static_cast<int>(n) : 1;
}

void SleepMilliseconds(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace check

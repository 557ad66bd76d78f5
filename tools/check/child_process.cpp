#include "child_process.h"

#include <thread>

#if defined(_WIN32)
#include <windows.h>
#include <io.h>
#include <process.h>
#else
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace check {

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
    running_ = true;
    return true;
}

bool ChildProcess::Finished(int& exitCode) {
    if (!running_) return true;
    HANDLE h = reinterpret_cast<HANDLE>(handle_);
    if (WaitForSingleObject(h, 0) != WAIT_OBJECT_0) return false;
    DWORD code = 0;
    GetExitCodeProcess(h, &code);
    CloseHandle(h);
    running_ = false;
    exitCode = static_cast<int>(code);
    return true;
}

ChildProcess::~ChildProcess() {
    if (running_) {
        WaitForSingleObject(reinterpret_cast<HANDLE>(handle_), INFINITE);
        CloseHandle(reinterpret_cast<HANDLE>(handle_));
    }
}

std::string ProgramPath() {
    char buf[MAX_PATH * 2];
    DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
    return std::string(buf, n < sizeof buf ? n : 0);
}

bool ErrorIsTerminal() { return _isatty(2) != 0; }

#else

bool ChildProcess::Start(const std::string& program, const std::vector<std::string>& args, std::string& error) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    int rc = posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ);
    if (rc != 0) {
        error = "cannot start " + program;
        return false;
    }
    handle_ = pid;
    running_ = true;
    return true;
}

bool ChildProcess::Finished(int& exitCode) {
    if (!running_) return true;
    int status = 0;
    pid_t r = waitpid(static_cast<pid_t>(handle_), &status, WNOHANG);
    if (r == 0) return false;
    running_ = false;
    exitCode = r > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return true;
}

ChildProcess::~ChildProcess() {
    if (running_) {
        int status = 0;
        waitpid(static_cast<pid_t>(handle_), &status, 0);
    }
}

std::string ProgramPath() {
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    return std::string(buf, n > 0 ? static_cast<size_t>(n) : 0);
}

bool ErrorIsTerminal() { return isatty(2) != 0; }

#endif

int ProcessorCount() {
    unsigned n = std::thread::hardware_concurrency();
    return n > 0 ? static_cast<int>(n) : 1;
}

void SleepMilliseconds(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace check

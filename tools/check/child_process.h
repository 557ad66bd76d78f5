#pragma once
// A worker process of the checker: this program started again with other arguments.
#include <cstdint>
#include <string>
#include <vector>

namespace check {

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // false with a one-line error when the program cannot be started.
    bool Start(const std::string& program, const std::vector<std::string>& args, std::string& error);
    // true once the process has ended; its exit code (or -1 when it was killed) in `exitCode`.
    bool Finished(int& exitCode);

private:
    intptr_t handle_ = 0;  // pid on posix, process handle on Windows
    bool running_ = false;
};

// This program's own path, to start its workers.
std::string ProgramPath();
// The number of processors, at least 1.
int ProcessorCount();
// Standard error is a terminal: a progress bar may be drawn there.
bool ErrorIsTerminal();
void SleepMilliseconds(int ms);

}  // namespace check

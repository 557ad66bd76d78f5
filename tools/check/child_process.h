#pragma once
// A worker process of the checker: this program started again with other arguments; and the checker's
// answer to being stopped: its workers end with it.
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
    // true once the process has ended: `how` is "exit code N" or "signal N (SIGNAME)"; `clean` when it
    // exited with code 0.
    bool Finished(std::string& how, bool& clean, bool& bySignal);
    // Ends the process (it is still waited for by Finished or the destructor).
    void Kill();

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

// The checker asked to stop (interrupt, terminate, hang-up, console close): from then on StopRequested() is
// true and every worker started is ended at once; StopSignal() is the signal, to end with it once the work
// folder is gone (0 on Windows and when no signal came).
void InstallStopHandlers();
bool StopRequested();
int StopSignal();
// A new private folder on a memory file system (/dev/shm), or "" where there is none.
std::string MemoryFolder();
// Called first thing in a worker: it ends when the checker does, even when the checker is killed outright.
void EndWithParent();

}  // namespace check

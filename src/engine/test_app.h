#pragma once
// The process-wide object: owns the engine, its mutex, the Cabrillo header and the window thread.
// Every export goes through here; the mutex is never held across a dialog, a message box or a wait
// for the window thread.
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "engine/args.h"
#include "engine/engine.h"
#include "scoring/cabrillo_export.h"
#include "ui/status_windows.h"

class CTestApp {
public:
    static CTestApp& Instance();

    CTestApp();
    ~CTestApp();
    CTestApp(const CTestApp&) = delete;
    CTestApp& operator=(const CTestApp&) = delete;

    int IsValidExchg(const ExchangeArgs& args);
    int CheckCall(const CheckArgs& args);
    int AddData(QsoArgs&& args);
    int RemoveData(const QsoArgs& args);
    int ResetStats(const ResetArgs& args);
    // The report's text stays valid for the calling thread until that thread's next call: each thread that
    // asks has a buffer of its own.
    const char* GetResult(int* out);
    void SetVersion();

    // For the window thread: the change-of-band window opened or closed (opening starts the count at 0),
    // and the count it shows.
    void SetBandChangeWindowOpen(bool open);
    int BandChangeCount();

    // Runs when the library unloads: closes every window before the library goes.
    void ExitInstance(bool processExiting);

    // The engine with the mutex held for as long as this object lives: the one way to the engine's lock from
    // outside. The host's thread takes it in every export, the window thread only to copy what a refresh
    // needs. Never held across a dialog, a message box or a wait for the window thread.
    class LockedEngine {
    public:
        Engine* operator->() const { return engine_; }
        Engine& operator*() const { return *engine_; }

    private:
        friend class CTestApp;
        LockedEngine(std::unique_lock<std::mutex> lock, Engine& engine) : lock_(std::move(lock)), engine_(&engine) {}
        std::unique_lock<std::mutex> lock_;
        Engine* engine_;
    };
    LockedEngine LockEngine();
    // The same without waiting: nothing when another thread holds the lock.
    std::optional<LockedEngine> TryLockEngine();

    // Guarded by the mutex (see LockEngine), but for its atomic refreshPending. Single-threaded code (tests)
    // may read and set it directly.
    Engine engine;
    CabrilloExport cabrillo;
    std::unique_ptr<StatusWindows> windows;
    // The Cabrillo header operation that a reset with a Cabrillo request runs (cabrillo.EditHeader unless a
    // test puts another in): 1 on OK, 0 on cancel. Called without the mutex: it may show a modal dialog.
    std::function<int(const std::string&, const COleDateTime&, const COleDateTime&)> editCabrilloHeader;

private:
    std::mutex mutex_;                                 // guards engine and reports_
    std::map<std::thread::id, std::string> reports_;  // a node never moves, so its text stays where it is
};

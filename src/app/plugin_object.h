#pragma once
// The process-wide object: owns the engine, its mutex, the Cabrillo header and the window thread; the one
// room that joins engine, scoring and ui. Every export goes through here; the mutex is never held across a
// dialog, a message box or a wait for the window thread.
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "engine/args.h"
#include "engine/engine.h"
#include "engine/engine_mutex.h"
#include "scoring/cabrillo_export.h"
#include "scoring/score_model.h"
#include "scoring/score_report.h"
#include "ui/status_windows.h"

class CTestApp final : public StatusSource {
public:
    // The settings key that decides whether a reset starts the windows (see ResetStats); a host stand-in
    // writes 1 under it to keep them closed.
    static constexpr const char* kStartKey = "Start";

private:
    // First, so that they outlive the windows and the header that are made after them.
    EngineMutex mutex_;  // guards engine_ and reports_
    Engine engine_;      // reached only through LockEngine

public:
    static CTestApp& Instance();

    // The plug-in's object for the contest of `record`; Instance() is the one of the plug-in's first set.
    explicit CTestApp(const contest::Record& record);
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
    // What the windows show until the next report: the last report's model (null: nothing worked).
    void SetShownModel(std::shared_ptr<const ScoreModel> model);
    void SetVersion();
    const contest::Record& Contest() const override { return engine_.contest; }

    // For the window thread (see StatusSource).
    StatusSnapshot TakeStatusSnapshot(const std::string& currentCall) override;
    bool RussianTexts() override;
    std::string ContestStartYear() override;
    void SetRefreshPending() override { engine_.refreshPending.store(1); }
    void SetBandChangeWindowOpen(bool open) override;
    int BandChangeCount() override;
    int BandChangeLimit() override;
    // Set to 1 at the end of every refresh: atomic, read and set without the lock.
    std::atomic<int>& RefreshPending() { return engine_.refreshPending; }

    // Runs when the library unloads: closes every window before the library goes.
    void ExitInstance(bool processExiting);

    // The engine with the mutex held for as long as this object lives: the one way to the engine's lock from
    // outside. The host's thread takes it in every export, the window thread only to copy what a refresh
    // needs. Never held across a dialog, a message box or a wait for the window thread.
    class LockedEngine {
    public:
        Engine* operator->() const {
            engine_->AssertLocked();
            return engine_;
        }
        Engine& operator*() const {
            engine_->AssertLocked();
            return *engine_;
        }

    private:
        friend class CTestApp;
        LockedEngine(std::unique_lock<EngineMutex> lock, Engine& engine) : lock_(std::move(lock)), engine_(&engine) {}
        std::unique_lock<EngineMutex> lock_;
        Engine* engine_;
    };
    LockedEngine LockEngine();
    // The same without waiting: nothing when another thread holds the lock.
    std::optional<LockedEngine> TryLockEngine();

    CabrilloExport cabrillo;
    std::unique_ptr<StatusWindows> windows;
    // The Cabrillo header operation that a reset with a Cabrillo request runs (cabrillo.EditHeader unless a
    // test puts another in): 1 on OK, 0 on cancel. Called without the mutex: it may show a modal dialog.
    std::function<int(const std::string&, const COleDateTime&, const COleDateTime&)> editCabrilloHeader;

private:
    std::map<std::thread::id, std::string> reports_;  // a node never moves, so its text stays where it is
    // The last report's score model, which the windows show; guarded by the mutex, never changed in place.
    std::shared_ptr<const ScoreModel> lastModel_;
    StoredClaim claim_;  // guarded by the mutex
};

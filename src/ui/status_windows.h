#pragma once
// The plug-in's window thread as the host's thread sees it. The win32 side runs the control window and the
// status windows on a thread of their own; the headless side has no windows, so its thread procedure
// returns at once and no refresh is ever posted.

#include <string>

#include "ui/status_snapshot.h"

// Window message that tells the control window the log has changed.
constexpr unsigned kWmStatsRefresh = 1524;

class StatusWindows {
public:
    virtual ~StatusWindows() = default;
    virtual bool ControlWindowExists() const = 0;
    // Posts the refresh message to the control window when it exists; never blocks.
    virtual void PostRefresh() = 0;
    // Starts the window thread (after stopping a running control window).
    virtual void Start() = 0;
    // Closes every window and waits, bounded, for the control window to go. When the process is exiting
    // the window thread is already gone and nothing is waited for.
    virtual void Stop(bool processExiting) = 0;
};

// What the window thread asks of the object that owns the engine: each call takes the engine's lock for
// itself, so the window thread never holds it while it draws or sends a message.
class StatusSource {
public:
    // A copy of what a refresh reads (see CopyStatusData).
    virtual StatusSnapshot TakeStatusSnapshot(const std::string& currentCall) = 0;
    // The contest of the plug-in; the same for the object's whole life, read without the lock.
    virtual const contest::Record& Contest() const = 0;
    virtual bool RussianTexts() = 0;
    virtual std::string ContestStartYear() = 0;
    // The control window is ready for the next refresh request; needs no lock.
    virtual void SetRefreshPending() = 0;
    // The change-of-band window opened or closed (opening starts the count at 0), and the count it shows.
    virtual void SetBandChangeWindowOpen(bool open) = 0;
    virtual int BandChangeCount() = 0;
    // The count from which its light turns red, for the entry's category as of the last reset; -1: never.
    virtual int BandChangeLimit() = 0;

protected:
    ~StatusSource() = default;
};

StatusWindows* CreateStatusWindows(StatusSource& source);

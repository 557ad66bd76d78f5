#pragma once
// The plug-in's window thread as the host's thread sees it. The win32 side runs the control window and the
// status windows on a thread of their own; the headless side has no windows, so its thread procedure
// returns at once and no refresh is ever posted.

class CTestApp;

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

StatusWindows* CreateStatusWindows(CTestApp& app);

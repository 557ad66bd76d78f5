#pragma once
// What the windows of the window thread share: the window pointers, the position cache of all windows,
// the host connection and what the refresh leaves for the DXCC panel. Everything here is touched on the
// window thread only, apart from the atomics, which the host's thread reads to post the refresh and to
// ask the thread to stop.
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "host/win32/dispatch_host_link.h"
#include "ui/refresh_requests.h"
#include "ui/status_model.h"

class StatusSource;

namespace ui {

class Setup_ARRL_RTTY;
class Multiplier;
class Stat_Prov;
class Multiplier_Mult;
class Change_Band;
class CQ_Zones;

struct WindowThreadState {
    explicit WindowThreadState(StatusSource& application) : app(application) {}

    StatusSource& app;

    Setup_ARRL_RTTY* controlWindow = nullptr;
    Multiplier* dxccWindow = nullptr;
    Stat_Prov* stateWindow = nullptr;
    Multiplier_Mult* dxccExtWindow = nullptr;
    Change_Band* bandChangeWindow = nullptr;
    CQ_Zones* zonesWindow = nullptr;

    // One position pair for every window: the last position read or saved.
    int lastPosX = 0;
    int lastPosY = 0;

    std::vector<std::string> rowBands;
    std::unique_ptr<DispatchHostLink> hostDispatch;

    // Left by each refresh and read by the DXCC panel; it outlives a control window.
    StatusModelState model;

    // For the host's thread: where to post the refresh, and the request to close.
    std::atomic<HWND> controlHwnd{nullptr};
    // The host's refresh requests, merged while one is posted or running.
    RefreshRequests refreshRequests;
    std::atomic<bool> stopRequested{false};
    // The stop comes from the library's unload: windows are hidden and left to the end of the thread.
    std::atomic<bool> unloading{false};
};

}  // namespace ui

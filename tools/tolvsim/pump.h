#pragma once
// Waiting without blocking the host's Automation object: every wait of the stand-in pumps its messages,
// because the plug-in's window thread calls the object on this thread.
#include <windows.h>

#include <functional>
#include <vector>

namespace tolvsim {

// Pumps until `done` returns true or `timeoutMs` passes (INFINITE waits for ever); returns done().
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);
// Pumps for `ms` milliseconds.
void PumpFor(DWORD ms);
// Runs `work` on a helper thread while this thread pumps, so work that waits for the window thread
// (a click, reading a control) cannot deadlock with a call the window thread makes to the object.
void RunWhilePumping(const std::function<void()>& work);

}  // namespace tolvsim

namespace tolvsim {

// Clicks a button as a user's click arrives: posted to the window's thread, so it runs in that thread's
// message loop and never inside a wait of an Automation call. Returns once the click has been handled
// (the window's thread has come back for its next message), or after `timeoutMs`; false on time-out.
bool ClickAndWait(HWND button, DWORD timeoutMs = 10000);

}  // namespace tolvsim

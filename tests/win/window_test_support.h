#pragma once
// Helpers for the window tests under wine: message pumping while waiting (the test thread owns the host's
// Automation object, so it must serve calls while it waits), windows found by title, clicks delivered
// synchronously from a helper thread, pixels read back, and screenshots saved as PNG files.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace wintest {

// Pumps this thread's messages for `ms` milliseconds.
void PumpFor(DWORD ms);
// Pumps until `done` is true or `timeoutMs` passes; returns `done()`.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);
// Runs `work` on a helper thread while this thread pumps; returns when it has finished.
void RunWhilePumping(const std::function<void()>& work);

// Visible top-level windows of this process, in Z order.
std::vector<HWND> ProcessWindows();
// The first visible top-level window of this process whose title starts with `prefix`, or null.
HWND FindWindowByTitlePrefix(const std::wstring& prefix);
std::wstring TitleOf(HWND hwnd);

// The visible status windows of one kind, told apart by their controls (their titles change with each
// refresh): the DXCC panel, the DC cell, the continent tabs, the two edits of the change-of-band window, the
// cells of zones 1 and 40.
enum class StatusKind { Dxcc, State, DxccExtended, BandChange, Zones };
std::vector<HWND> StatusWindowsOf(StatusKind kind);
HWND StatusWindowOf(StatusKind kind);  // the first, or null

// Clicks a button the way a user's click arrives (posted to the window's thread), waiting until its
// handler has run.
void Click(HWND button);
// Sends WM_SETCURSOR as the mouse passing over the window does, and waits for it to be handled.
void HoverOver(HWND window);

// A top-down 32-bit bitmap of w x h for `dc`, its pixels at `*bits`.
HBITMAP CreateTopDownBitmap(HDC dc, int w, int h, void** bits);
// Colour of a pixel of a window's client area, as 0x00BBGGRR.
COLORREF ClientPixel(HWND hwnd, int x, int y);
// Saves the window with its frame to a PNG file; false when it cannot be written.
bool SaveWindowPng(HWND hwnd, const std::string& path);
// A folder for test artefacts beside the test program (build/win32/bin/artifacts), created on demand.
std::string ArtifactPath(const std::string& fileName);

std::string Narrow(const std::wstring& text);

// The GDI objects this process holds: GetGuiResources, or where that is a stub answering 0 (wine), every
// handle the GDI handle table answers for.
int GdiObjectCount();

// Records the access violations of every thread of the process while it exists. Wine catches a fault inside
// a window or dialog procedure and lets the message return, so without this the test that caused it passes.
class AccessViolationWatch {
public:
    AccessViolationWatch();
    ~AccessViolationWatch();
    AccessViolationWatch(const AccessViolationWatch&) = delete;
    AccessViolationWatch& operator=(const AccessViolationWatch&) = delete;
    // How many were seen, and where the first one happened ("" when none).
    int Count() const;
    std::string First() const;

private:
    void* handler_;
};

}  // namespace wintest

#pragma once
// Counts what the plug-in asks of the system while a rebuild runs: its calls to a few imported functions
// (window messages, painting, file and settings-file writes, the waits of a contended lock), counted by
// pointing the plug-in's own import table at counting wrappers. The counts do not depend on how busy the
// machine is, unlike the times, so they show what runs beside the rebuild even on a loaded machine.
// Windows only: the Stats.dll under wine.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace bench {

enum Counted {
    kPostMessage,     // refresh requests posted to the control window (and the window's own posts)
    kSendMessage,     // messages sent to controls
    kSetWindowText,   // titles set by a refresh
    kInvalidate,      // drawn controls asked to repaint
    kBeginPaint,      // WM_PAINT handled by the plug-in's own code (drawn buttons paint on WM_DRAWITEM, after an
                      // invalidate)
    kFileOpen,        // fopen: the bad-QSO file and the report's files
    kFileFlush,       // fflush: one per bad-QSO line written
    kProfileRead,     // GetPrivateProfileStringA: the settings file read
    kProfileWrite,    // WritePrivateProfileStringA: the settings file written
    kFindFile,        // FindFirstFileA: the host INI search of a reset
    kLockWait,        // WaitForSingleObject: a thread waiting, mostly for the engine's lock
    kCountedKinds
};

inline const char* CountedName(int i) {
    static const char* const kNames[kCountedKinds] = {"posts",        "sends",         "titles",
                                                      "invalidates",  "paints",        "file_opens",
                                                      "file_flushes", "profile_reads", "profile_writes",
                                                      "find_files",   "waits"};
    return kNames[i];
}

struct ImportCounts {
    long n[kCountedKinds] = {};
};

namespace detail {

inline volatile LONG counts[kCountedKinds];

inline decltype(&PostMessageW) realPostMessageW;
inline decltype(&SendMessageW) realSendMessageW;
inline decltype(&SetWindowTextW) realSetWindowTextW;
inline decltype(&InvalidateRect) realInvalidateRect;
inline decltype(&BeginPaint) realBeginPaint;
inline decltype(&GetPrivateProfileStringA) realGetPrivateProfileStringA;
inline decltype(&WritePrivateProfileStringA) realWritePrivateProfileStringA;
inline decltype(&FindFirstFileA) realFindFirstFileA;
inline decltype(&WaitForSingleObject) realWaitForSingleObject;
inline FILE* (__cdecl* realFopen)(const char*, const char*);
inline int(__cdecl* realFflush)(FILE*);

inline void Count(Counted c) { InterlockedIncrement(&counts[c]); }

inline BOOL WINAPI CountPostMessageW(HWND h, UINT m, WPARAM w, LPARAM l) {
    Count(kPostMessage);
    return realPostMessageW(h, m, w, l);
}
inline LRESULT WINAPI CountSendMessageW(HWND h, UINT m, WPARAM w, LPARAM l) {
    Count(kSendMessage);
    return realSendMessageW(h, m, w, l);
}
inline BOOL WINAPI CountSetWindowTextW(HWND h, LPCWSTR t) {
    Count(kSetWindowText);
    return realSetWindowTextW(h, t);
}
inline BOOL WINAPI CountInvalidateRect(HWND h, const RECT* r, BOOL e) {
    Count(kInvalidate);
    return realInvalidateRect(h, r, e);
}
inline HDC WINAPI CountBeginPaint(HWND h, LPPAINTSTRUCT p) {
    Count(kBeginPaint);
    return realBeginPaint(h, p);
}
inline DWORD WINAPI CountGetPrivateProfileStringA(LPCSTR s, LPCSTR k, LPCSTR d, LPSTR o, DWORD n, LPCSTR f) {
    Count(kProfileRead);
    return realGetPrivateProfileStringA(s, k, d, o, n, f);
}
inline BOOL WINAPI CountWritePrivateProfileStringA(LPCSTR s, LPCSTR k, LPCSTR v, LPCSTR f) {
    Count(kProfileWrite);
    return realWritePrivateProfileStringA(s, k, v, f);
}
inline HANDLE WINAPI CountFindFirstFileA(LPCSTR p, LPWIN32_FIND_DATAA d) {
    Count(kFindFile);
    return realFindFirstFileA(p, d);
}
inline DWORD WINAPI CountWaitForSingleObject(HANDLE h, DWORD ms) {
    Count(kLockWait);
    return realWaitForSingleObject(h, ms);
}
inline FILE* __cdecl CountFopen(const char* n, const char* m) {
    Count(kFileOpen);
    return realFopen(n, m);
}
inline int __cdecl CountFflush(FILE* f) {
    Count(kFileFlush);
    return realFflush(f);
}

// Points the module's import of `dll`!`name` at `wrapper`, keeping the original in `real`.
template <class Fn>
bool Redirect(HMODULE module, const char* dll, const char* name, Fn wrapper, Fn& real) {
    auto base = reinterpret_cast<BYTE*>(module);
    auto dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (dir.VirtualAddress == 0) return false;
    for (auto imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); imp->Name != 0; ++imp) {
        if (_stricmp(reinterpret_cast<const char*>(base + imp->Name), dll) != 0) continue;
        auto names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->OriginalFirstThunk);
        auto slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            auto byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), name) != 0) continue;
            DWORD old = 0;
            if (!VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old)) return false;
            real = reinterpret_cast<Fn>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(wrapper);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
            return true;
        }
    }
    return false;
}

}  // namespace detail

// Starts counting the calls of the loaded module (the plug-in). Counting stays on until the module unloads.
inline void CountImportsOf(HMODULE module) {
    using namespace detail;
    Redirect(module, "user32.dll", "PostMessageW", &CountPostMessageW, realPostMessageW);
    Redirect(module, "user32.dll", "SendMessageW", &CountSendMessageW, realSendMessageW);
    Redirect(module, "user32.dll", "SetWindowTextW", &CountSetWindowTextW, realSetWindowTextW);
    Redirect(module, "user32.dll", "InvalidateRect", &CountInvalidateRect, realInvalidateRect);
    Redirect(module, "user32.dll", "BeginPaint", &CountBeginPaint, realBeginPaint);
    Redirect(module, "kernel32.dll", "GetPrivateProfileStringA", &CountGetPrivateProfileStringA,
             realGetPrivateProfileStringA);
    Redirect(module, "kernel32.dll", "WritePrivateProfileStringA", &CountWritePrivateProfileStringA,
             realWritePrivateProfileStringA);
    Redirect(module, "kernel32.dll", "FindFirstFileA", &CountFindFirstFileA, realFindFirstFileA);
    Redirect(module, "kernel32.dll", "WaitForSingleObject", &CountWaitForSingleObject, realWaitForSingleObject);
    Redirect(module, "msvcrt.dll", "fopen", &CountFopen, realFopen);
    Redirect(module, "msvcrt.dll", "fflush", &CountFflush, realFflush);
}

inline ImportCounts ReadImportCounts() {
    ImportCounts c;
    for (int i = 0; i < kCountedKinds; ++i) c.n[i] = detail::counts[i];
    return c;
}

inline ImportCounts operator-(const ImportCounts& a, const ImportCounts& b) {
    ImportCounts d;
    for (int i = 0; i < kCountedKinds; ++i) d.n[i] = a.n[i] - b.n[i];
    return d;
}

}  // namespace bench

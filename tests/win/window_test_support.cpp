#include "window_test_support.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <thread>

#include "plugin/visible_windows.h"
#include "plugin.h"
#include "pump.h"

namespace wintest {

// The same pumping waits as the host stand-in's: the tests host the Automation object on this thread too.
void PumpFor(DWORD ms) { tolvsim::PumpFor(ms); }

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) { return tolvsim::PumpUntil(done, timeoutMs); }

void RunWhilePumping(const std::function<void()>& work) {
    std::atomic<bool> finished{false};
    std::thread helper([&] {
        work();
        finished = true;
    });
    PumpUntil([&] { return finished.load(); }, 30000);
    helper.join();
}

int GdiObjectCount() {
    const DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (n != 0) return static_cast<int>(n);
    // Wine's handles are an index from 32 into one table, with a generation in the high word that a handle
    // without one matches.
    int count = 0;
    for (ULONG_PTR index = 32; index < 0x10000; ++index) count += GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0;
    return count;
}

std::vector<HWND> ProcessWindows() { return VisibleWindowsOfThisProcess(); }

std::wstring TitleOf(HWND hwnd) {
    wchar_t buffer[512] = {0};
    int n = GetWindowTextW(hwnd, buffer, 512);
    return std::wstring(buffer, n > 0 ? static_cast<size_t>(n) : 0);
}

HWND FindWindowByTitlePrefix(const std::wstring& prefix) {
    for (HWND hwnd : ProcessWindows())
        if (TitleOf(hwnd).compare(0, prefix.size(), prefix) == 0) return hwnd;
    return nullptr;
}

std::vector<HWND> StatusWindowsOf(StatusKind kind) {
    std::vector<HWND> found;
    for (HWND hwnd : ProcessWindows()) {
        auto has = [hwnd](int id) { return GetDlgItem(hwnd, id) != nullptr; };
        bool match = false;
        switch (kind) {
            case StatusKind::Dxcc: match = has(1016) && !has(1003) && !has(1113); break;
            case StatusKind::State: match = has(1113); break;
            case StatusKind::DxccExtended: match = has(1114); break;
            case StatusKind::BandChange: match = has(1000) && has(1001) && has(1026); break;
            case StatusKind::Zones: match = has(1201) && has(1240); break;
        }
        if (match) found.push_back(hwnd);
    }
    return found;
}

HWND StatusWindowOf(StatusKind kind) {
    std::vector<HWND> found = StatusWindowsOf(kind);
    return found.empty() ? nullptr : found.front();
}

void Click(HWND button) { tolvsim::ClickAndWait(button); }

void HoverOver(HWND window) {
    RunWhilePumping([window] { SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), HTCLIENT); });
}

HBITMAP CreateTopDownBitmap(HDC dc, int w, int h, void** bits) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    return CreateDIBSection(dc, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

COLORREF ClientPixel(HWND hwnd, int x, int y) {
    HDC dc = GetDC(hwnd);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return c;
}

namespace {

uint32_t Crc32(const uint8_t* data, size_t n, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < n; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutBe32(std::string& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

void Chunk(std::string& out, const char* type, const std::string& data) {
    PutBe32(out, static_cast<uint32_t>(data.size()));
    std::string body = std::string(type, 4) + data;
    out += body;
    PutBe32(out, Crc32(reinterpret_cast<const uint8_t*>(body.data()), body.size()));
}

// A PNG with stored (uncompressed) deflate blocks: large, but needs no library.
std::string EncodePng(int width, int height, const std::vector<uint8_t>& rgb) {
    std::string raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back('\0');
        raw.append(reinterpret_cast<const char*>(&rgb[static_cast<size_t>(y) * width * 3]),
                   static_cast<size_t>(width) * 3);
    }
    std::string z = "\x78\x01";
    uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    for (size_t pos = 0; pos < raw.size() || pos == 0; pos += 65535) {
        size_t len = raw.size() - pos < 65535 ? raw.size() - pos : 65535;
        bool last = pos + len >= raw.size();
        z.push_back(last ? '\x01' : '\x00');
        z.push_back(static_cast<char>(len & 0xFF));
        z.push_back(static_cast<char>(len >> 8));
        z.push_back(static_cast<char>(~len & 0xFF));
        z.push_back(static_cast<char>((~len >> 8) & 0xFF));
        z.append(raw, pos, len);
        if (last) break;
    }
    PutBe32(z, (b << 16) | a);
    std::string png = "\x89PNG\r\n\x1a\n";
    std::string header;
    PutBe32(header, static_cast<uint32_t>(width));
    PutBe32(header, static_cast<uint32_t>(height));
    header += std::string("\x08\x02\x00\x00\x00", 5);
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", z);
    Chunk(png, "IEND", std::string());
    return png;
}

}  // namespace

bool SaveWindowPng(HWND hwnd, const std::string& path) {
    RECT r;
    if (!GetWindowRect(hwnd, &r)) return false;
    int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return false;
    HDC windowDc = GetWindowDC(hwnd);
    HDC memDc = CreateCompatibleDC(windowDc);
    void* bits = nullptr;
    HBITMAP bitmap = CreateTopDownBitmap(memDc, w, h, &bits);
    HGDIOBJ old = SelectObject(memDc, bitmap);
    BitBlt(memDc, 0, 0, w, h, windowDc, 0, 0, SRCCOPY);
    GdiFlush();
    std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
    const auto* px = static_cast<const uint8_t*>(bits);
    for (int i = 0; i < w * h; ++i) {
        rgb[static_cast<size_t>(i) * 3 + 0] = px[i * 4 + 2];
        rgb[static_cast<size_t>(i) * 3 + 1] = px[i * 4 + 1];
        rgb[static_cast<size_t>(i) * 3 + 2] = px[i * 4 + 0];
    }
    SelectObject(memDc, old);
    DeleteObject(bitmap);
    DeleteDC(memDc);
    ReleaseDC(hwnd, windowDc);
    std::string png = EncodePng(w, h, rgb);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    bool ok = std::fwrite(png.data(), 1, png.size(), f) == png.size();
    return std::fclose(f) == 0 && ok;
}

std::string ArtifactPath(const std::string& fileName) {
    std::string dir = BesideTestProgram("artifacts");
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir + "\\" + fileName;
}

namespace {

// Written by the exception handler, which may run on any thread and must not allocate.
std::atomic<int> violations{0};
std::atomic<uintptr_t> firstCode{0};
std::atomic<uintptr_t> firstTarget{0};
std::atomic<DWORD> firstThread{0};

LONG CALLBACK RecordAccessViolation(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    if (record->ExceptionCode == EXCEPTION_ACCESS_VIOLATION && violations.fetch_add(1) == 0) {
        firstCode = reinterpret_cast<uintptr_t>(record->ExceptionAddress);
        firstTarget = record->NumberParameters > 1 ? record->ExceptionInformation[1] : 0;
        firstThread = GetCurrentThreadId();
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

AccessViolationWatch::AccessViolationWatch() : handler_(nullptr) {
    violations = 0;
    handler_ = AddVectoredExceptionHandler(1, &RecordAccessViolation);
}

AccessViolationWatch::~AccessViolationWatch() {
    if (handler_ != nullptr) RemoveVectoredExceptionHandler(handler_);
}

int AccessViolationWatch::Count() const { return violations.load(); }

std::string AccessViolationWatch::First() const {
    if (Count() == 0) return std::string();
    char text[96];
    std::snprintf(text, sizeof text, "code at 0x%08lx touched 0x%08lx on thread %lu",
                  static_cast<unsigned long>(firstCode.load()), static_cast<unsigned long>(firstTarget.load()),
                  static_cast<unsigned long>(firstThread.load()));
    return text;
}

std::string Narrow(const std::wstring& text) {
    if (text.empty()) return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

}  // namespace wintest

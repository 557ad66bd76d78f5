#include "platform/win32/long_path.h"

#include <vector>

namespace platform {

namespace {

std::wstring Widen(const std::string& text) {
    if (text.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
    return out;
}

std::wstring FullPathW(const std::wstring& path) {
    DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0) return std::wstring();
    std::vector<wchar_t> buffer(n + 1);
    n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    return n == 0 || n >= buffer.size() ? std::wstring() : std::wstring(buffer.data(), n);
}

const wchar_t* const kLongPrefix = L"\\\\?\\";
const wchar_t* const kLongUncPrefix = L"\\\\?\\UNC\\";

}  // namespace

// "\\?\" before "\\server" would name a device, not the share.
std::wstring LongForm(const std::wstring& full) {
    if (full.compare(0, 4, kLongPrefix) == 0) return full;
    if (full.compare(0, 2, L"\\\\") == 0) return kLongUncPrefix + full.substr(2);
    return kLongPrefix + full;
}

std::wstring WithoutLongForm(const std::wstring& path) {
    if (path.compare(0, 8, kLongUncPrefix) == 0) return L"\\\\" + path.substr(8);
    if (path.compare(0, 4, kLongPrefix) == 0) return path.substr(4);
    return path;
}

std::wstring WidePath(const std::string& path) {
    const std::wstring wide = Widen(path);
    if (wide.compare(0, 4, kLongPrefix) == 0) return wide;
    const std::wstring full = FullPathW(wide);
    return full.size() < MAX_PATH ? wide : LongForm(full);
}

std::string ShortPath(const std::string& path) {
    // The wide functions: the ANSI ones fail on a full path past the limit.
    const std::wstring full = FullPathW(Widen(path));
    if (full.size() < MAX_PATH) return path;
    const size_t slash = full.find_last_of(L'\\');
    if (slash == std::wstring::npos) return path;
    // The folder must exist to have a short form; the file itself need not.
    std::wstring shortFolder;
    for (const std::wstring& folder : {full.substr(0, slash), LongForm(full.substr(0, slash))}) {
        DWORD n = GetShortPathNameW(folder.c_str(), nullptr, 0);
        if (n == 0) continue;
        std::vector<wchar_t> buffer(n + 1);
        n = GetShortPathNameW(folder.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0 || n >= buffer.size()) continue;
        shortFolder.assign(buffer.data(), n);
        break;
    }
    shortFolder = WithoutLongForm(shortFolder);
    if (shortFolder.empty()) return path;
    // A short form is plain ASCII; the file's own name keeps its bytes.
    std::string result;
    for (wchar_t c : shortFolder) {
        if (c > 0x7F) return path;
        result += static_cast<char>(c);
    }
    const size_t nameStart = path.find_last_of("\\/");
    result += "\\" + (nameStart == std::string::npos ? path : path.substr(nameStart + 1));
    return result.size() < MAX_PATH ? result : path;
}

}  // namespace platform

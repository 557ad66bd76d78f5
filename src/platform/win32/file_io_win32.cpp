#include <windows.h>
#include <io.h>

#include <cstdio>

#include "platform/file_io.h"
#include "platform/win32/long_path.h"

namespace platform {

// A read-only file, or one another program holds open without sharing its deletion, is not replaced.
bool MoveOverFile(const std::string& from, const std::string& to) {
    return MoveFileExW(WidePath(from).c_str(), WidePath(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

std::FILE* OpenFile(const std::string& path, const char* mode) {
    std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return _wfopen(WidePath(path).c_str(), wideMode.c_str());
}

bool RemoveFile(const std::string& path) { return DeleteFileW(WidePath(path).c_str()) != FALSE; }

unsigned long CurrentProcessId() { return GetCurrentProcessId(); }

bool OpenFileIsAt(std::FILE*, const std::string&) { return true; }

bool CutOpenFileHere(std::FILE* file) {
    if (std::fflush(file) != 0) return false;
    const long size = std::ftell(file);
    return size >= 0 && _chsize(_fileno(file), size) == 0;
}

}  // namespace platform

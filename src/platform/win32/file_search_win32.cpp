#include <windows.h>

#include "platform/file_search.h"

namespace platform {

std::string FileSystemPath(const std::string& path) { return path; }

std::vector<std::string> FindFileNames(const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA(pattern.c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        std::string name = data.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(h, &data));
    FindClose(h);
    return names;
}

}  // namespace platform

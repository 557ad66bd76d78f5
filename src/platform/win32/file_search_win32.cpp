#include <windows.h>

#include "platform/file_search.h"

namespace platform {

std::string FileSystemPath(const std::string& path) { return path; }

std::vector<std::string> FindFileNames(const std::string& pattern) {
    // The folder is listed whole and the names matched here: the pattern's last part may hold any number
    // of wildcards, and how long the system would take over them is not ours to bound.
    size_t end = pattern.find_last_of("\\/:");
    std::string folder = end == std::string::npos ? std::string() : pattern.substr(0, end + 1);
    std::string mask = end == std::string::npos ? pattern : pattern.substr(end + 1);
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA((folder + "*").c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        if (WildcardMatch(mask, name) || (data.cAlternateFileName[0] != '\0' &&
                                          WildcardMatch(mask, data.cAlternateFileName))) {
            names.push_back(name);
        }
    } while (FindNextFileA(h, &data));
    FindClose(h);
    return names;
}

}  // namespace platform

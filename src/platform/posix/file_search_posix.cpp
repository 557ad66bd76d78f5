#include <dirent.h>

#include <cctype>

#include "platform/file_search.h"

namespace platform {

namespace {

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// '*' any run, '?' one character; case ignored as on Windows.
bool WildMatch(const char* p, const char* s) {
    if (*p == '\0') return *s == '\0';
    if (*p == '*') return WildMatch(p + 1, s) || (*s != '\0' && WildMatch(p, s + 1));
    if (*s == '\0') return false;
    if (*p == '?' || Lower(*p) == Lower(*s)) return WildMatch(p + 1, s + 1);
    return false;
}

}  // namespace

std::string FileSystemPath(const std::string& path) {
    std::string out = path;
    for (char& c : out) {
        if (c == '\\') c = '/';
    }
    return out;
}

std::vector<std::string> FindFileNames(const std::string& pattern) {
    std::string path = FileSystemPath(pattern);
    size_t slash = path.find_last_of('/');
    std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    std::string mask = slash == std::string::npos ? path : path.substr(slash + 1);
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return names;
    while (dirent* d = readdir(dir)) {
        std::string name = d->d_name;
        if (name == "." || name == "..") continue;
        if (WildMatch(mask.c_str(), name.c_str())) names.push_back(name);
    }
    closedir(dir);
    return names;
}

}  // namespace platform

#include <dirent.h>

#include "platform/file_search.h"

namespace platform {

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
        if (WildcardMatch(mask, name)) names.push_back(name);
    }
    closedir(dir);
    return names;
}

}  // namespace platform

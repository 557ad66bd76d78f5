#pragma once
// File names matching a pattern such as "C:\\Tolv\\*.ini", in the order the file system gives them.
#include <string>
#include <vector>

namespace platform {

// Names only (no folder). Matching ignores case, as on Windows.
std::vector<std::string> FindFileNames(const std::string& pattern);

// A path built from a search folder and a found name, as this system's file functions take it
// ('\\' read as '/' on posix, unchanged on Windows).
std::string FileSystemPath(const std::string& path);

}  // namespace platform

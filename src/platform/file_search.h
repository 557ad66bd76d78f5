#pragma once
// File names matching a pattern such as "C:\\Tolv\\*.ini", in the order the file system gives them.
#include <string>
#include <vector>

namespace platform {

// Names only (no folder). Matching ignores case, as on Windows.
std::vector<std::string> FindFileNames(const std::string& pattern);

}  // namespace platform

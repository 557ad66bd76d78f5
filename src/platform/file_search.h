#pragma once
// File names matching a pattern such as "C:\\Tolv\\*.ini", in the order the file system gives them.
#include <string>
#include <vector>

namespace platform {

// Names only (no folder). The folder is listed and each name matched with WildcardMatch, on both sides, so
// a pattern from the host may hold any number of wildcards; on Windows a name also matches by its 8.3 short
// name, as the system's own search does.
std::vector<std::string> FindFileNames(const std::string& pattern);

// '*' any run of characters, '?' exactly one, letters compared without case as on Windows. No recursion,
// and no star is ever tried again once a later one has matched: the time grows with the pattern's length
// plus the square of the name's, whatever the number of stars.
bool WildcardMatch(const std::string& pattern, const std::string& name);

// A path built from a search folder and a found name, as this system's file functions take it
// ('\\' read as '/' on posix, unchanged on Windows).
std::string FileSystemPath(const std::string& path);

}  // namespace platform

#pragma once
// Paths past the system's limit. The plug-in names its files relative to the current directory, and a host
// installed deep down makes their full paths reach MAX_PATH, where the ANSI file and profile functions fail.
#include <windows.h>

#include <string>

namespace platform {

// The path for the wide file functions: as given while its full form stays below MAX_PATH, else the long
// form "\\?\C:\...\name" ("\\?\UNC\server\share\..." for a network path), which they take up to 32,767
// characters.
std::wstring WidePath(const std::string& path);

// The long form of a full path: "\\?\C:\..." for a drive, "\\?\UNC\server\share\..." for a network path;
// a long form stays as it is. WithoutLongForm undoes it.
std::wstring LongForm(const std::wstring& full);
std::wstring WithoutLongForm(const std::wstring& path);

// A path the ANSI functions can take: as given while its full form stays below MAX_PATH, else the full path
// with its folder in the 8.3 short form; unchanged when the folder has no short form or the result is still
// too long.
std::string ShortPath(const std::string& path);

}  // namespace platform

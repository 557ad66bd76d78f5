#pragma once
// Reading a text file line by line the way a text-mode read does it, but the same on both builds.
#include <cstddef>
#include <string>
#include <vector>

// The longest text file the plug-in reads (the host's INI, the bad-QSO file): far beyond a contest's
// bad-QSO file at a line per QSO, and a bound on what a device posing as a file can make it read.
constexpr size_t kTextFileLimit = size_t{64} << 20;

// The file's lines without their line ends ("\r\n" or "\n"); false when the file cannot be read whole.
bool ReadTextLines(const std::string& path, std::vector<std::string>& lines);

#pragma once
// Reading a text file line by line the way a text-mode read does it, but the same on both builds.
#include <string>
#include <vector>

// The file's lines without their line ends ("\r\n" or "\n"); false when the file cannot be opened.
bool ReadTextLines(const std::string& path, std::vector<std::string>& lines);

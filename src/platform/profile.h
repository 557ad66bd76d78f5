#pragma once
// Private-profile files (INI files) as the Windows API reads and writes them. The win32 side calls the API;
// the posix side reproduces its behaviour: path relative to the current directory with '\' read as '/',
// section and key compared without case, values trimmed of blanks and surrounding quotes, the first of two
// equal keys wins, reads cut to the buffer size less one, files written with CRLF keeping every other line,
// and a write into a missing folder failing without creating it.
#include <cstddef>
#include <string>

namespace platform {

std::string ProfileGetString(const std::string& file, const std::string& section, const std::string& key,
                             const std::string& defaultValue, size_t bufferSize);
// false when the file could not be written.
bool ProfileWriteString(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& value);

}  // namespace platform

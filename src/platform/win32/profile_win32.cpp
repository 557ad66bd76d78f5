#include <windows.h>

#include <vector>

#include "platform/profile.h"
#include "platform/win32/long_path.h"

namespace platform {

// The profile functions have no long form: past MAX_PATH the file is named through its folder's short form.

std::string ProfileGetString(const std::string& file, const std::string& section, const std::string& key,
                             const std::string& defaultValue, size_t bufferSize) {
    if (bufferSize == 0) return std::string();
    std::vector<char> buffer(bufferSize, '\0');
    DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), buffer.data(),
                                       static_cast<DWORD>(bufferSize), ShortPath(file).c_str());
    return std::string(buffer.data(), n);
}

bool ProfileWriteString(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& value) {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), ShortPath(file).c_str()) != FALSE;
}

}  // namespace platform

#include "engine/host_version.h"

#include <vector>

#include "common/text.h"
#include "engine/text_file.h"
#include "platform/file_search.h"

namespace hostversion {

namespace {

const char* const kSearchPattern = "%s*.ini";
const char* const kHostIniSection = "[Tolv]";
const char* const kVersionKey = "Tolv=";
const char* const kNoHostIni = "Tolv";
const char* const kHostsWithoutWindows[] = {"2.18", "2.17", "2.16", "2.15", "2.14", "2.14R"};

}  // namespace

std::string HostIniText(const std::string& version) {
    return std::string(kHostIniSection) + "\r\n" + kVersionKey + version + "\r\n";
}

namespace {

// The first line of the file that holds the key; false when the file cannot be read or has none.
bool ReadVersionLine(const std::string& path, std::string& line) {
    std::vector<std::string> lines;
    if (!ReadTextLines(path, lines)) return false;
    for (const std::string& candidate : lines) {
        if (candidate.find(kVersionKey) != std::string::npos) {
            line = candidate;
            return true;
        }
    }
    return false;
}

// The folder the search looked in: the prefix up to its last separator. A prefix may end in the start
// of a file name ("C:\Tolv\To"), and the names found are relative to that folder, not to the prefix.
std::string SearchFolder(const std::string& folderPrefix) {
#if defined(_WIN32)
    const char* const separators = "\\/:";
#else
    const char* const separators = "\\/";
#endif
    size_t end = folderPrefix.find_last_of(separators);
    return end == std::string::npos ? std::string() : folderPrefix.substr(0, end + 1);
}

}  // namespace

void Update(const std::string& folderPrefix, std::string& hostVersion) {
    std::string pattern = text::Format(kSearchPattern, folderPrefix.c_str());
    for (const std::string& name : platform::FindFileNames(pattern)) {
        if (name.find(kHostIniName) == std::string::npos) continue;
        std::string line;
        if (ReadVersionLine(platform::FileSystemPath(SearchFolder(folderPrefix) + name), line)) {
            // The line from its sixth character on: for a line that starts with the key, what follows it.
            hostVersion = line.substr(5);
        }
        return;
    }
    hostVersion = kNoHostIni;
}

bool KeepsWindowsClosed(const std::string& hostVersion) {
    for (const char* v : kHostsWithoutWindows) {
        if (hostVersion == v) return true;
    }
    return false;
}

int RulesFailureCode(const std::string& hostVersion) {
    return hostVersion == "2.19" || hostVersion == "2.20" ? 1 : 4;
}

}  // namespace hostversion

#pragma once
// The host program's version, read from the host's own INI file at each reset.
#include <string>

namespace hostversion {

// The host's INI file as the plug-in finds it, and as a host stand-in writes one.
constexpr const char* kHostIniName = "Tolv2.ini";
// A host INI that says this version, as the host itself writes it.
std::string HostIniText(const std::string& version);

// Searches `folderPrefix` + "*.ini" for the first name that contains "Tolv2.ini" and reads that file
// (in that folder): the first line that holds "Tolv=" gives the version, from its sixth character on.
// No such name at all sets the version to "Tolv"; a found file that cannot be read or has no such line
// leaves it as it was.
void Update(const std::string& folderPrefix, std::string& hostVersion);

// Hosts this old cannot live with the status windows; a reset does not start them.
bool KeepsWindowsClosed(const std::string& hostVersion);
// CheckCall0's answer for a check that breaks the contest rules.
int RulesFailureCode(const std::string& hostVersion);

}  // namespace hostversion

#pragma once
// Where the replay finds the country file and the super-check-partial list when the command line names
// none: first the file beside the program (the Windows release ships cty.dat and MASTER.SCP beside
// stats-replay.exe), then the one the Debian package hamradio-files installs.
#include <string>

namespace replay {

constexpr const char* kCountryFileName = "cty.dat";
constexpr const char* kScpFileName = "MASTER.SCP";

// programDir/fileName when that file exists, else installedPath.
std::string DataFileBeside(const std::string& programDir, const char* fileName, const char* installedPath);

std::string DefaultCountryFilePath();  // cty.dat beside the program, else kDefaultCountryFile
std::string DefaultScpFilePath();      // MASTER.SCP beside the program, else kDefaultScpFile

}  // namespace replay

#include "data_files.h"

#include <filesystem>

#include "country_file.h"
#include "plugin/plugin_library.h"

namespace replay {

std::string DataFileBeside(const std::string& programDir, const char* fileName, const char* installedPath) {
    std::error_code ec;
    const std::filesystem::path beside = std::filesystem::path(programDir) / fileName;
    if (!programDir.empty() && std::filesystem::is_regular_file(beside, ec)) return beside.string();
    return installedPath;
}

std::string DefaultCountryFilePath() {
    return DataFileBeside(ProgramDirectory(), kCountryFileName, kDefaultCountryFile);
}

std::string DefaultScpFilePath() { return DataFileBeside(ProgramDirectory(), kScpFileName, kDefaultScpFile); }

}  // namespace replay

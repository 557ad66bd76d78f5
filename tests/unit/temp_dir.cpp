#include "temp_dir.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

TempWorkDir::TempWorkDir(bool withPlugins, const std::string& parent) {
    previous_ = fs::current_path().string();
    std::random_device rd;
    fs::path p = (parent.empty() ? fs::temp_directory_path() : fs::path(parent)) /
                 ("stats-test-" + std::to_string(rd()) + std::to_string(rd()));
    fs::create_directories(p);
    if (withPlugins) fs::create_directories(p / "Plugins");
    path_ = p.string();
    while (!path_.empty() && (path_.back() == '\\' || path_.back() == '/')) path_.pop_back();
    fs::current_path(p);
}

std::string TempWorkDir::Prefix() const { return path_ + static_cast<char>(fs::path::preferred_separator); }

TempWorkDir::~TempWorkDir() {
    std::error_code ec;
    fs::current_path(previous_, ec);
    fs::remove_all(path_, ec);
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

bool FileExists(const std::string& path) { return fs::exists(path); }

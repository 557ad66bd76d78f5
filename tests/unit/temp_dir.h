#pragma once
// A fresh temporary working directory for one test: the plug-in writes its files relative to the current
// directory, so each test that makes it write runs inside one of these.
#include <string>

class TempWorkDir {
public:
    // Creates the directory (and a "Plugins" folder in it when withPlugins) under the system's temporary folder
    // or under `parent`, and changes into it.
    explicit TempWorkDir(bool withPlugins = true, const std::string& parent = "");
    ~TempWorkDir();  // changes back and removes the directory with everything in it
    TempWorkDir(const TempWorkDir&) = delete;
    TempWorkDir& operator=(const TempWorkDir&) = delete;
    const std::string& Path() const { return path_; }
    // The directory as a folder prefix, ending in a separator.
    std::string Prefix() const;

private:
    std::string path_;
    std::string previous_;
};

// Whole file as bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);

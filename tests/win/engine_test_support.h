#pragma once
// For the engine's tests through the DLL: a fresh working directory per test, and the host's long calls
// written once, with every argument the engine must not read set to a decoy.
#include <string>

#include "../unit/engine_scenarios.h"
#include "plugin.h"

// Creates a fresh directory with a "Plugins" folder under the temp folder (or under `parent`) and makes it
// current; changes back and removes it with everything in it on destruction.
class EngineTempDir {
public:
    explicit EngineTempDir(const std::string& parent = "");
    ~EngineTempDir();
    EngineTempDir(const EngineTempDir&) = delete;
    EngineTempDir& operator=(const EngineTempDir&) = delete;
    // The directory as a folder prefix, ending in a backslash.
    std::string Prefix() const { return path_ + "\\"; }

private:
    std::string path_;
    std::string previous_;
};

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);
bool Exists(const std::string& path);

// Puts "Start=1" into the settings so that the next reset starts no window (it writes 0 instead).
void KeepWindowsClosedOnNextReset();

int CallResetStats(Plugin& p, const std::string& iniFolder, int cabrilloRequest = 0, const char* ownPrefix = "K");
int CallAddData(Plugin& p, const scenario::QsoRow& row);
int CallRemoveData(Plugin& p, const scenario::QsoRow& row);
// Checks that the output buffers came back untouched.
int CallCheckCall(Plugin& p, const scenario::CheckRow& row, bool* buffersUntouched = nullptr);

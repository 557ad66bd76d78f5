#pragma once
// For the engine's tests through the DLL: a fresh working directory per test, and the host's long calls
// written once, with every argument the engine must not read set to a decoy.
#include <string>

#include "../unit/engine_scenarios.h"
#include "plugin.h"
#include "temp_dir.h"

// Puts "Start=1" into the settings so that the next reset starts no window (it writes 0 instead).
void KeepWindowsClosedOnNextReset();

int CallResetStats(Plugin& p, const std::string& iniFolder, int cabrilloRequest = 0, const char* ownPrefix = "K");
int CallAddData(Plugin& p, const scenario::QsoRow& row);
int CallRemoveData(Plugin& p, const scenario::QsoRow& row);
// Checks that the output buffers came back untouched.
int CallCheckCall(Plugin& p, const scenario::CheckRow& row, bool* buffersUntouched = nullptr);

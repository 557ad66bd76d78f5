#pragma once
// The plug-in DLL loaded the way the host loads it: Stats.dll (or StatsCQWW.dll) beside the test program, through
// the one plug-in loader. Tests of the exports and windows go through this, never through the core's headers.
#include <windows.h>

#include <string>

#include "plugin/plugin_library.h"

// The full path of a file beside the test program.
std::string BesideTestProgram(const char* name);

struct Plugin : PluginLibrary {
    HMODULE module = nullptr;

    // Loads the plug-in and resolves the plain names (or the decorated ones).
    bool Load(bool decoratedNames = false, const char* file = "Stats.dll") {
        std::string error;
        const bool loaded = PluginLibrary::Load(BesideTestProgram(file), error, decoratedNames);
        module = static_cast<HMODULE>(Handle());
        return loaded;
    }
};

#pragma once
// The plug-in DLL loaded the way the host loads it: Stats.dll beside the test program, through the one
// plug-in loader. Tests of the exports and windows go through this, never through the core's headers.
#include <windows.h>

#include <string>

#include "plugin/plugin_library.h"

// The full path of a file beside the test program.
std::string BesideTestProgram(const char* name);

struct Plugin : PluginLibrary {
    HMODULE module = nullptr;

    // Loads Stats.dll and resolves the plain names (or the decorated ones).
    bool Load(bool decoratedNames = false) {
        std::string error;
        const bool loaded = PluginLibrary::Load(BesideTestProgram("Stats.dll"), error, decoratedNames);
        module = static_cast<HMODULE>(Handle());
        return loaded;
    }
};

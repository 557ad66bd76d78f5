#pragma once
// The plug-in DLL loaded the way the host loads it: LoadLibrary beside the test program, exports resolved
// by name. Tests of the exports and windows go through this, never through the core's headers.
#include <windows.h>

#include <string>

#include "app/exports/exports.h"

struct Plugin {
    HMODULE module = nullptr;
    GetNumberOfSetsFn GetNumberOfSets = nullptr;
    GetExchgCount0Fn GetExchgCount0 = nullptr;
    GetSetNameFn GetSetName = nullptr;
    SetupSet0Fn SetupSet0 = nullptr;
    SetVersionFn setVersion = nullptr;
    IsValidExchg0Fn IsValidExchg0 = nullptr;
    CheckCall0Fn CheckCall0 = nullptr;
    AddData0Fn AddData0 = nullptr;
    RemoveData0Fn RemoveData0 = nullptr;
    ResetStats0Fn ResetStats0 = nullptr;
    GetResult0Fn GetResult0 = nullptr;

    // Loads Stats.dll and resolves the plain names (or the decorated ones).
    bool Load(bool decoratedNames = false);
    void Unload();
    ~Plugin() { Unload(); }
};

// The full path of a file beside the test program.
std::string BesideTestProgram(const char* name);

#pragma once
// The plug-in as a host loads it: libStats.so through dlopen natively, Stats.dll through LoadLibrary on
// Windows, every export resolved by its plain name (or, on request, by the decorated name older hosts
// look up). The one loader of the replay, tolvsim and the Windows tests.
#include <string>

#include "app/exports/exports.h"

class PluginLibrary {
public:
    PluginLibrary() = default;
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    // false with a one-line error when the library cannot be loaded or lacks an export.
    bool Load(const std::string& path, std::string& error, bool decoratedNames = false);
    // Unloading runs the plug-in's exit, which closes its windows.
    void Unload();
    bool Loaded() const { return handle_ != nullptr; }
    void* Handle() const { return handle_; }

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
    SetHeaderDialogAnswerFn SetHeaderDialogAnswer = nullptr;  // native plug-in only; nullptr when it lacks it

private:
    void* handle_ = nullptr;
};

// The plug-in's file name on this platform, and the default path: beside the running program.
const char* PluginFileName();
// The file name of the plug-in library `name` on this system: "StatsCQWW.dll", "libStatsCQWW.so"; and the way
// back, the name of the plug-in a library path holds ("StatsCQWW" on both systems).
std::string PluginFileNameOf(const std::string& name);
std::string PluginNameOf(const std::string& path);
std::string ProgramDirectory();
std::string DefaultPluginPath();

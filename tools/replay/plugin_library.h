#pragma once
// The plug-in as a host loads it: libStats.so through dlopen natively, Stats.dll through LoadLibrary on
// Windows, every export the replay calls resolved by its plain name.
#include <string>

#include "app/exports/exports.h"

namespace replay {

class PluginLibrary {
public:
    PluginLibrary() = default;
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    // false with a one-line error when the library cannot be loaded or lacks an export.
    bool Load(const std::string& path, std::string& error);
    // Unloading runs the plug-in's exit, which closes its windows.
    void Unload();
    bool Loaded() const { return handle_ != nullptr; }

    GetSetNameFn GetSetName = nullptr;
    SetVersionFn setVersion = nullptr;
    ResetStats0Fn ResetStats0 = nullptr;
    AddData0Fn AddData0 = nullptr;
    RemoveData0Fn RemoveData0 = nullptr;
    CheckCall0Fn CheckCall0 = nullptr;
    GetResult0Fn GetResult0 = nullptr;
    SetHeaderDialogAnswerFn SetHeaderDialogAnswer = nullptr;  // native plug-in only; nullptr when it lacks it

private:
    void* handle_ = nullptr;
};

// The plug-in's file name on this platform, and the default path: beside the running program.
const char* PluginFileName();
std::string ProgramDirectory();
std::string DefaultPluginPath();

}  // namespace replay

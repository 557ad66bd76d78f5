#include "plugin/plugin_library.h"

#include <filesystem>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

namespace {

#if defined(_WIN32)
void* OpenLibrary(const std::string& path, std::string& error) {
    std::string p = path;
    for (char& c : p) {
        if (c == '/') c = '\\';  // LoadLibrary wants backslashes
    }
    HMODULE h = LoadLibraryA(p.c_str());
    if (!h) error = "cannot load the plug-in " + path + " (error " + std::to_string(GetLastError()) + ")";
    return reinterpret_cast<void*>(h);
}
void* Symbol(void* handle, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}
void CloseLibrary(void* handle) { FreeLibrary(static_cast<HMODULE>(handle)); }
#else
void* OpenLibrary(const std::string& path, std::string& error) {
    void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!h) {
        const char* why = dlerror();
        error = "cannot load the plug-in " + path + (why ? std::string(" (") + why + ")" : std::string());
    }
    return h;
}
void* Symbol(void* handle, const char* name) { return dlsym(handle, name); }
void CloseLibrary(void* handle) { dlclose(handle); }
#endif

template <typename Fn>
bool Resolve(void* handle, const char* name, Fn& out, std::string& missing) {
    out = reinterpret_cast<Fn>(Symbol(handle, name));
    if (!out) missing += missing.empty() ? name : std::string(", ") + name;
    return out != nullptr;
}

}  // namespace

PluginLibrary::~PluginLibrary() { Unload(); }

bool PluginLibrary::Load(const std::string& path, std::string& error, bool decoratedNames) {
    Unload();
    handle_ = OpenLibrary(path, error);
    if (!handle_) return false;
    std::string missing;
    auto resolve = [&](auto fn, const char* plain, const char* decorated) {
        Resolve(handle_, decoratedNames ? decorated : plain, this->*fn, missing);
    };
    resolve(&PluginLibrary::GetNumberOfSets, "GetNumberOfSets", "?GetNumberOfSets@@YAHXZ");
    resolve(&PluginLibrary::GetExchgCount0, "GetExchgCount0", "?StatsGetExchgCount0@@YAHPBD00@Z");
    resolve(&PluginLibrary::GetSetName, "GetSetName", "?GetSetName@@YAPBDH@Z");
    resolve(&PluginLibrary::SetupSet0, "SetupSet0", "?SetupSet0@@YAXXZ");
    resolve(&PluginLibrary::setVersion, "setVersion", "?setVersion@@YAKPBD@Z");
    resolve(&PluginLibrary::IsValidExchg0, "IsValidExchg0", "?StatsIsValidExchg0@@YAHPBD000HHH@Z");
    resolve(&PluginLibrary::CheckCall0, "CheckCall0", "?CheckCallFunc0@@YAHPBDII00000000000HHHNN0000000PAD1@Z");
    resolve(&PluginLibrary::AddData0, "AddData0",
            "?AddData0@@YAHPBD0PAVCOleDateTime@@111II000000000000000HHHNN00000@Z");
    resolve(&PluginLibrary::RemoveData0, "RemoveData0",
            "?RemoveData0@@YAHPBD0PAVCOleDateTime@@111II000000000000000HHHNN00000@Z");
    resolve(&PluginLibrary::ResetStats0, "ResetStats0", "?ResetStats0@@YAHPBDH0PAVCOleDateTime@@10000000000HHHNN000@Z");
    resolve(&PluginLibrary::GetResult0, "GetResult0", "?GetResult0@@YAPBDPAH@Z");
    std::string optional;
    Resolve(handle_, "SetHeaderDialogAnswer", SetHeaderDialogAnswer, optional);
    if (!missing.empty()) {
        error = path + " is not the Stats plug-in: missing " + missing;
        Unload();
        return false;
    }
    return true;
}

void PluginLibrary::Unload() {
    if (handle_) CloseLibrary(handle_);
    handle_ = nullptr;
}

const char* PluginFileName() {
#if defined(_WIN32)
    return "Stats.dll";
#else
    return "libStats.so";
#endif
}

std::string PluginFileNameOf(const std::string& name) {
#if defined(_WIN32)
    return name + ".dll";
#else
    return "lib" + name + ".so";
#endif
}

std::string PluginNameOf(const std::string& path) {
    std::string name = std::filesystem::path(path).stem().string();
#if !defined(_WIN32)
    if (name.rfind("lib", 0) == 0) name.erase(0, 3);
#endif
    return name;
}

std::string ProgramDirectory() {
#if defined(_WIN32)
    char buf[MAX_PATH * 2];
    DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
    std::string exe(buf, n < sizeof buf ? n : 0);
#else
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    std::string exe(buf, n > 0 ? static_cast<size_t>(n) : 0);
#endif
    return std::filesystem::path(exe).parent_path().string();
}

std::string DefaultPluginPath() {
    return (std::filesystem::path(ProgramDirectory()) / PluginFileName()).string();
}

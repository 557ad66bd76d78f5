#include "plugin.h"

namespace {

template <typename T>
bool Resolve(HMODULE m, const char* name, T& fn) {
    fn = reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(m, name)));
    return fn != nullptr;
}

}  // namespace

std::string BesideTestProgram(const char* name) {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p(path, n);
    size_t slash = p.find_last_of("\\/");
    return p.substr(0, slash + 1) + name;
}

bool Plugin::Load(bool decorated) {
    module = LoadLibraryA(BesideTestProgram("Stats.dll").c_str());
    if (module == nullptr) return false;
    bool ok = true;
    ok &= Resolve(module, decorated ? "?GetNumberOfSets@@YAHXZ" : "GetNumberOfSets", GetNumberOfSets);
    ok &= Resolve(module, decorated ? "?StatsGetExchgCount0@@YAHPBD00@Z" : "GetExchgCount0", GetExchgCount0);
    ok &= Resolve(module, decorated ? "?GetSetName@@YAPBDH@Z" : "GetSetName", GetSetName);
    ok &= Resolve(module, decorated ? "?SetupSet0@@YAXXZ" : "SetupSet0", SetupSet0);
    ok &= Resolve(module, decorated ? "?setVersion@@YAKPBD@Z" : "setVersion", setVersion);
    ok &= Resolve(module, decorated ? "?StatsIsValidExchg0@@YAHPBD000HHH@Z" : "IsValidExchg0", IsValidExchg0);
    ok &= Resolve(module, decorated ? "?CheckCallFunc0@@YAHPBDII00000000000HHHNN0000000PAD1@Z" : "CheckCall0",
                  CheckCall0);
    ok &= Resolve(module,
                  decorated ? "?AddData0@@YAHPBD0PAVCOleDateTime@@111II000000000000000HHHNN00000@Z" : "AddData0",
                  AddData0);
    ok &= Resolve(module,
                  decorated ? "?RemoveData0@@YAHPBD0PAVCOleDateTime@@111II000000000000000HHHNN00000@Z"
                            : "RemoveData0",
                  RemoveData0);
    ok &= Resolve(module,
                  decorated ? "?ResetStats0@@YAHPBDH0PAVCOleDateTime@@10000000000HHHNN000@Z" : "ResetStats0",
                  ResetStats0);
    ok &= Resolve(module, decorated ? "?GetResult0@@YAPBDPAH@Z" : "GetResult0", GetResult0);
    return ok;
}

void Plugin::Unload() {
    if (module != nullptr) FreeLibrary(module);
    module = nullptr;
}

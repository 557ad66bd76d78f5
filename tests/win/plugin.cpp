#include "plugin.h"

std::string BesideTestProgram(const char* name) {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p(path, n);
    size_t slash = p.find_last_of("\\/");
    return p.substr(0, slash + 1) + name;
}

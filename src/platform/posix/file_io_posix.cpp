#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "platform/file_io.h"

namespace platform {

bool MoveOverFile(const std::string& from, const std::string& to) {
    struct stat old;
    if (stat(to.c_str(), &old) == 0) {
        // The effective user decides, as it would for a write in place; the new file keeps the old one's mode.
        if (eaccess(to.c_str(), W_OK) != 0) return false;
        chmod(from.c_str(), old.st_mode & 07777);
    }
    return std::rename(from.c_str(), to.c_str()) == 0;
}

std::FILE* OpenFile(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }

bool RemoveFile(const std::string& path) { return std::remove(path.c_str()) == 0; }

unsigned long CurrentProcessId() { return static_cast<unsigned long>(getpid()); }

bool OpenFileIsAt(std::FILE* file, const std::string&) {
    // One call per line: a file deleted, or replaced by another moved over its name, has no name left.
    struct stat open;
    return fstat(fileno(file), &open) == 0 && open.st_nlink > 0;
}

bool CutOpenFileHere(std::FILE* file) {
    if (std::fflush(file) != 0) return false;
    const long size = std::ftell(file);
    return size >= 0 && ftruncate(fileno(file), size) == 0;
}

}  // namespace platform

#include "fault_injection.h"

#include <cerrno>
#include <cstdio>

#include "platform/file_io.h"

namespace {

FileFault currentFault = FileFault::renameRefused;

// A short write puts half of what it was given into the file; a full disk takes the bytes into the buffer
// and fails when they are flushed.
size_t FaultyWrite(const void* data, size_t size, size_t count, std::FILE* file) {
    if (currentFault == FileFault::diskFull) return count;
    if (currentFault == FileFault::shortWrite) {
        return platform::SystemFileCalls().write(data, size, count / 2, file);
    }
    return platform::SystemFileCalls().write(data, size, count, file);
}
int FaultyFlush(std::FILE* file) {
    if (currentFault == FileFault::diskFull) return EOF;
    return platform::SystemFileCalls().flush(file);
}
std::FILE* FaultyOpen(const char* path, const char* mode) {
    if (currentFault != FileFault::held) return platform::SystemFileCalls().open(path, mode);
    errno = EACCES;
    return nullptr;
}
// A read error: the first bytes arrive, then the stream reports an error.
size_t FaultyRead(void* data, size_t size, size_t count, std::FILE* file) {
    if (currentFault != FileFault::readError) return platform::SystemFileCalls().read(data, size, count, file);
    return platform::SystemFileCalls().read(data, size, count < 4 ? count : 4, file) > 0 && !std::feof(file) ? 4 : 0;
}
int FaultyError(std::FILE* file) {
    return currentFault == FileFault::readError ? 1 : platform::SystemFileCalls().error(file);
}
bool FaultyMove(const std::string& from, const std::string& to) {
    return currentFault != FileFault::renameRefused && currentFault != FileFault::held &&
           platform::SystemFileCalls().moveOver(from, to);
}

const platform::FileCalls kFaultyCalls = {FaultyOpen,  FaultyRead,  FaultyError, FaultyWrite,
                                          FaultyFlush, platform::SystemFileCalls().close,
                                          FaultyMove,  platform::SystemFileCalls().remove};

}  // namespace

const char* FileFaultName(FileFault fault) {
    switch (fault) {
        case FileFault::renameRefused: return "rename refused";
        case FileFault::shortWrite: return "short write";
        case FileFault::diskFull: return "disk full";
        case FileFault::held: return "held by another program";
        case FileFault::readError: return "read error";
    }
    return "";
}

FileFaults::FileFaults(FileFault fault) {
    currentFault = fault;
    platform::SetFileCallsForTesting(&kFaultyCalls);
}

FileFaults::~FileFaults() { platform::SetFileCallsForTesting(nullptr); }

#if !defined(_WIN32)
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

namespace {
constexpr uid_t kNobody = 65534;
}

FileSizeLimit::FileSizeLimit(rlim_t bytes) {
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit limit = previous_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
}

UnprivilegedUser::UnprivilegedUser() {
    if (geteuid() != 0) return;
    if (setegid(kNobody) != 0 || seteuid(kNobody) != 0) {
        reason_ = std::string("cannot become user nobody: ") + std::strerror(errno);
        setegid(0);
        return;
    }
    dropped_ = true;
}

UnprivilegedUser::~UnprivilegedUser() {
    if (!dropped_) return;
    if (seteuid(0) != 0 || setegid(0) != 0) std::abort();
}
#endif

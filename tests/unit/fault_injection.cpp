#include "fault_injection.h"

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

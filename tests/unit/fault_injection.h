#pragma once
// Faults a test puts in the plug-in's way. On both builds, through the plug-in's file calls: a refused
// rename, a short write, a full disk, a file another program holds open without sharing (no open succeeds);
// and apart from these writing faults a read that fails part-way.
// On posix also a file-size limit that makes a write fail part-way, and an unprivileged user, for whom
// permission bits count (root reads and writes a file whatever its mode).

enum class FileFault { renameRefused, shortWrite, diskFull, held, readError };
const char* FileFaultName(FileFault fault);
constexpr FileFault kFileFaults[] = {FileFault::renameRefused, FileFault::shortWrite, FileFault::diskFull,
                                     FileFault::held};

// The plug-in's file calls fail in this way while this lives.
class FileFaults {
public:
    explicit FileFaults(FileFault fault);
    ~FileFaults();
    FileFaults(const FileFaults&) = delete;
    FileFaults& operator=(const FileFaults&) = delete;
};

#if !defined(_WIN32)
#include <sys/resource.h>

#include <string>

// Writes past `bytes` fail with EFBIG while this lives; SIGXFSZ is ignored so the process goes on.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};

// Runs the test as an unprivileged user: as it is when it already is one, else with the effective user and
// group "nobody" (65534) until destroyed. Files the test means to be reached must be open to others.
class UnprivilegedUser {
public:
    UnprivilegedUser();
    ~UnprivilegedUser();
    bool Active() const { return reason_.empty(); }
    const std::string& Reason() const { return reason_; }  // why privileges could not be dropped

private:
    bool dropped_ = false;
    std::string reason_;
};

#define SKIP_UNLESS_UNPRIVILEGED(user) \
    if (!(user).Active()) GTEST_SKIP() << "needs an unprivileged user: " << (user).Reason()
#endif

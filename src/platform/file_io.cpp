#include "platform/file_io.h"

#include <atomic>
#include <cerrno>
#include <cstdio>

namespace platform {

ReadResult ReadWholeFile(const std::string& path, size_t limit, std::string& bytes) {
    bytes.clear();
    errno = 0;
    const FileCalls& fs = Files();
    std::FILE* f = fs.open(path.c_str(), "rb");
    if (f == nullptr) return errno == ENOENT ? ReadResult::missing : ReadResult::unreadable;
    char buffer[4096];
    size_t n;
    bool whole = true;
    while (whole && (n = fs.read(buffer, 1, sizeof buffer, f)) > 0) {
        whole = bytes.size() + n <= limit;
        if (whole) bytes.append(buffer, n);
    }
    // A folder opens on posix and fails at the first read.
    whole = whole && fs.error(f) == 0;
    fs.close(f);
    if (whole) return ReadResult::read;
    bytes.clear();
    return ReadResult::unreadable;
}

namespace {

std::FILE* SystemOpen(const char* path, const char* mode) { return OpenFile(path, mode); }
size_t SystemRead(void* data, size_t size, size_t count, std::FILE* file) { return std::fread(data, size, count, file); }
int SystemError(std::FILE* file) { return std::ferror(file); }
size_t SystemWrite(const void* data, size_t size, size_t count, std::FILE* file) {
    return std::fwrite(data, size, count, file);
}
int SystemFlush(std::FILE* file) { return std::fflush(file); }
int SystemClose(std::FILE* file) { return std::fclose(file); }

const FileCalls kSystemCalls = {SystemOpen,  SystemRead,   SystemError, SystemWrite,
                                 SystemFlush, SystemClose,  MoveOverFile, RemoveFile};
std::atomic<const FileCalls*> overrideCalls{nullptr};

}  // namespace

const FileCalls& SystemFileCalls() { return kSystemCalls; }

const FileCalls& Files() {
    const FileCalls* calls = overrideCalls.load();
    return calls ? *calls : kSystemCalls;
}

void SetFileCallsForTesting(const FileCalls* calls) { overrideCalls.store(calls); }

bool WriteAndFlush(std::FILE* file, const std::string& bytes) {
    const FileCalls& fs = Files();
    const bool written = fs.write(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fs.flush(file) == 0 && written;
}

bool ReplaceFileContents(const std::string& path, const std::string& bytes) {
    // Unique among this process's threads and among processes writing beside it.
    static std::atomic<unsigned> counter{0};
    const std::string temp =
        path + ".~" + std::to_string(CurrentProcessId()) + "-" + std::to_string(++counter) + ".tmp";
    const FileCalls& fs = Files();
    std::FILE* f = fs.open(temp.c_str(), "wb");
    if (f == nullptr) return false;
    bool written = WriteAndFlush(f, bytes);
    written = fs.close(f) == 0 && written;
    if (written && fs.moveOver(temp, path)) return true;
    fs.remove(temp);
    return false;
}

}  // namespace platform

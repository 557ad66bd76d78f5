#include "platform/file_io.h"

#include <atomic>
#include <cerrno>
#include <cstdio>

namespace platform {

ReadResult ReadWholeFile(const std::string& path, size_t limit, std::string& bytes) {
    bytes.clear();
    errno = 0;
    std::FILE* f = OpenFile(path, "rb");
    if (f == nullptr) return errno == ENOENT ? ReadResult::missing : ReadResult::unreadable;
    char buffer[4096];
    size_t n;
    bool whole = true;
    while (whole && (n = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
        whole = bytes.size() + n <= limit;
        if (whole) bytes.append(buffer, n);
    }
    // A folder opens on posix and fails at the first read.
    whole = whole && std::ferror(f) == 0;
    std::fclose(f);
    if (whole) return ReadResult::read;
    bytes.clear();
    return ReadResult::unreadable;
}

bool ReplaceFileContents(const std::string& path, const std::string& bytes) {
    // Unique among this process's threads and among processes writing beside it.
    static std::atomic<unsigned> counter{0};
    const std::string temp =
        path + ".~" + std::to_string(CurrentProcessId()) + "-" + std::to_string(++counter) + ".tmp";
    std::FILE* f = OpenFile(temp, "wb");
    if (f == nullptr) return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    written = std::fflush(f) == 0 && written;
    written = std::fclose(f) == 0 && written;
    if (written && MoveOverFile(temp, path)) return true;
    RemoveFile(temp);
    return false;
}

}  // namespace platform

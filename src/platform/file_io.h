#pragma once
// Reading a file whole and rewriting it so that a failure never costs what it held. Paths are as the
// system's file functions take them (see FileSystemPath).
#include <cstddef>
#include <cstdio>
#include <string>

namespace platform {

enum class ReadResult {
    read,
    missing,     // there is no such file
    unreadable,  // it exists but cannot be read whole: no permission, a folder, a read error, over the limit
};

// The whole file into `bytes`; at most `limit` bytes are read, and a longer file is unreadable (a device
// read as a file never ends). `bytes` is empty unless the result is `read`.
ReadResult ReadWholeFile(const std::string& path, size_t limit, std::string& bytes);

// The calls every file the plug-in reads or writes goes through: ReadWholeFile, the temporary file of
// ReplaceFileContents, its move into place or its removal, the bad-QSO file's lines. A test puts in calls of its
// own that fail at will (a refused rename, a short write, a full disk, a read error), as SQLite lets its system
// calls be overridden; nullptr restores the system's.
struct FileCalls {
    std::FILE* (*open)(const char* path, const char* mode);
    size_t (*read)(void* data, size_t size, size_t count, std::FILE* file);
    int (*error)(std::FILE* file);  // ferror
    size_t (*write)(const void* data, size_t size, size_t count, std::FILE* file);
    int (*flush)(std::FILE* file);
    int (*close)(std::FILE* file);
    bool (*moveOver)(const std::string& from, const std::string& to);
    bool (*remove)(const std::string& path);
};
const FileCalls& Files();
const FileCalls& SystemFileCalls();
void SetFileCallsForTesting(const FileCalls* calls);

// Writes `bytes` to an open file and flushes them: false when they did not all reach the file.
bool WriteAndFlush(std::FILE* file, const std::string& bytes);

// Writes `bytes` to a temporary file in the file's own folder and then puts it in the file's place in one
// step: on any failure the old file stays as it was and the temporary file is removed. A file this process
// could not have written in place is not replaced. false when the file was not written.
bool ReplaceFileContents(const std::string& path, const std::string& bytes);

// --- each side ----------------------------------------------------------------------------------------
// fopen and remove for a path as the plug-in names it (relative to the current directory, in the process's
// code page). On Windows a path whose full form reaches the system's limit (MAX_PATH) is opened through its
// long form ("\\?\" and the full path, by the wide API), so a deep host folder still gets its files.
std::FILE* OpenFile(const std::string& path, const char* mode);
bool RemoveFile(const std::string& path);
// Puts `from` in the place of `to` in one step, replacing `to` if it exists and may be written.
bool MoveOverFile(const std::string& from, const std::string& to);
unsigned long CurrentProcessId();
// True while the open file is still the one at `path`: not deleted or replaced since it was opened (a file
// renamed away keeps what is written to it). On Windows a file held open cannot be deleted or replaced.
bool OpenFileIsAt(std::FILE* file, const std::string& path);
// Cuts the open file off at its current position, everything written before flushed. false on failure.
bool CutOpenFileHere(std::FILE* file);

}  // namespace platform

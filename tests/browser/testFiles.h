#pragma once

#include "fileBytes.h"

#include <atomic>
#include <cstdint>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace testfiles {

// Fixture bytes as a picture keeps a file's contents.
inline browser::FileBytes AsFileBytes(std::span<const unsigned char> bytes) {
    return browser::FileBytes(bytes.begin(), bytes.end());
}

// The working directory is process-wide and the image list changes it; each
// test that scans puts it back as it found it, even when an assertion fails.
class WorkingDirectoryGuard {
public:
    WorkingDirectoryGuard();
    ~WorkingDirectoryGuard();
    WorkingDirectoryGuard(const WorkingDirectoryGuard&) = delete;
    WorkingDirectoryGuard& operator=(const WorkingDirectoryGuard&) = delete;

private:
    int folder_;
};

// The process's working directory as an absolute path.
std::string CurrentDirectory();

// The path with every symbolic link resolved; throws when it does not exist.
std::string RealPath(const std::string& path);

// A file of the given size that occupies (almost) no disk space.
void MakeSparseFile(const std::string& path, std::int64_t size);

void MakeFolder(const std::string& path);
void MakeFifo(const std::string& path);
void MakeSymlink(const std::string& target, const std::string& path);

// From a few seconds after it is made until it goes, lets any reader that
// waits on the named pipe go on (with nothing to read), so that code which
// wrongly blocks on a pipe fails its test instead of hanging it.
class PipeReleaser {
public:
    explicit PipeReleaser(std::string path);
    ~PipeReleaser();
    PipeReleaser(const PipeReleaser&) = delete;
    PipeReleaser& operator=(const PipeReleaser&) = delete;

    // True once a reader had to be let go.
    bool Released() const { return released_; }

private:
    std::string path_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> released_{false};
    std::thread thread_;
};

// The names readdir yields for the folder, in its order, "." and ".." left out.
std::vector<std::string> ReaddirNames(const std::string& folder);

// stat's size of the entry, following links; lstat's for a dangling link.
std::int64_t EntrySize(const std::string& path);

} // namespace testfiles

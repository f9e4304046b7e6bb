#include "testFiles.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace testfiles {
namespace {

[[noreturn]] void fail(const std::string& what, const std::string& path) {
    throw std::runtime_error(what + " " + path + ": " + std::strerror(errno));
}

} // namespace

WorkingDirectoryGuard::WorkingDirectoryGuard()
    : folder_(::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (folder_ < 0)
        fail("cannot open", "the working directory");
}

WorkingDirectoryGuard::~WorkingDirectoryGuard() {
    // A destructor cannot report; a failed return would show in later tests.
    [[maybe_unused]] const int ignored = ::fchdir(folder_);
    ::close(folder_);
}

std::string CurrentDirectory() {
    char buffer[PATH_MAX];
    if (::getcwd(buffer, sizeof buffer) == nullptr)
        fail("getcwd failed for", "the working directory");
    return buffer;
}

std::string RealPath(const std::string& path) {
    char buffer[PATH_MAX];
    if (::realpath(path.c_str(), buffer) == nullptr)
        fail("realpath failed for", path);
    return buffer;
}

void MakeSparseFile(const std::string& path, std::int64_t size) {
    const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (file < 0)
        fail("cannot create", path);
    const bool sized = ::ftruncate(file, static_cast<off_t>(size)) == 0;
    ::close(file);
    if (!sized)
        fail("cannot size", path);
}

void MakeFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0755) != 0)
        fail("cannot create folder", path);
}

void MakeFifo(const std::string& path) {
    if (::mkfifo(path.c_str(), 0644) != 0)
        fail("cannot create fifo", path);
}

void MakeSymlink(const std::string& target, const std::string& path) {
    if (::symlink(target.c_str(), path.c_str()) != 0)
        fail("cannot create link", path);
}

PipeReleaser::PipeReleaser(std::string path)
    : path_(std::move(path)), thread_([this] {
          // Well past any sound open, so a reader met here really waited.
          const auto start = std::chrono::steady_clock::now();
          while (!stop_) {
              std::this_thread::sleep_for(std::chrono::milliseconds(10));
              if (std::chrono::steady_clock::now() - start < std::chrono::seconds(5))
                  continue;
              // Succeeds only while a reader has the pipe open or waits for it.
              const int writer = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
              if (writer >= 0) {
                  released_ = true;
                  ::close(writer);
              }
          }
      }) {}

PipeReleaser::~PipeReleaser() {
    stop_ = true;
    thread_.join();
}

std::vector<std::string> ReaddirNames(const std::string& folder) {
    DIR* listing = ::opendir(folder.c_str());
    if (listing == nullptr)
        fail("cannot list", folder);
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(listing);
    return names;
}

std::int64_t EntrySize(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 && ::lstat(path.c_str(), &info) != 0)
        fail("cannot stat", path);
    return info.st_size;
}

} // namespace testfiles

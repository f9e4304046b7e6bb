#include "fileServices.h"

#include "error.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace browser {
namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

[[noreturn]] void throwCannotOpen(const std::string& name, int error) {
    throw Error("Cannot open file \"" + FullPath(name) + "\". " + std::strerror(error));
}

} // namespace

std::string JoinPath(const std::string& folder, const std::string& name) {
    return folder + "/" + name;
}

bool ChangeDirectory(const std::string& folder) {
    return !folder.empty() && ::chdir(folder.c_str()) == 0;
}

bool DirectoryExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && path.front() == '/' && ::stat(path.c_str(), &info) == 0 &&
           S_ISDIR(info.st_mode);
}

std::string CurrentDirectory() {
    std::string folder(4096, '\0');
    while (::getcwd(folder.data(), folder.size()) == nullptr) {
        if (errno != ERANGE)
            return {};
        folder.resize(folder.size() * 2);
    }
    folder.resize(std::strlen(folder.c_str()));
    return folder;
}

std::string FullPath(const std::string& name) {
    if (!name.empty() && name.front() == '/')
        return name;
    const std::string folder = CurrentDirectory();
    return folder.empty() ? name : JoinPath(folder, name); // empty: the folder itself is gone
}

namespace {

// Opens a regular file for reading and returns its size, or throws the error
// the user is told.
FileDescriptor openPictureFile(const std::string& name, size_t& size) {
    // Non-blocking, so that a pipe or device with a picture's name cannot
    // make the open wait forever; regular files read the same either way.
    FileDescriptor file(::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0)
        throwCannotOpen(name, errno);

    struct stat info {};
    if (::fstat(file.get(), &info) != 0)
        throwCannotOpen(name, errno);
    if (S_ISDIR(info.st_mode))
        throwCannotOpen(name, EISDIR);
    if (!S_ISREG(info.st_mode))
        throwCannotOpen(name, ENXIO); // pipes and devices hold no picture
    if (info.st_size > kMaxFileSize)
        throwCannotOpen(name, EFBIG);
    size = static_cast<size_t>(info.st_size);
    return file;
}

// Reads into `buffer`, retrying interrupted calls; 0 at the end of the file.
size_t readSome(const FileDescriptor& file, const std::string& name, unsigned char* buffer,
                size_t length) {
    while (true) {
        const ssize_t got = ::read(file.get(), buffer, length);
        if (got >= 0)
            return static_cast<size_t>(got);
        if (errno != EINTR)
            throw Error("Cannot read file \"" + FullPath(name) + "\". " + std::strerror(errno));
    }
}

} // namespace

FileBytes ReadWholeFile(const std::string& name) {
    size_t size = 0;
    const FileDescriptor file = openPictureFile(name, size);

    // Read up to one byte past the size we saw, so a file that grew since
    // is noticed rather than silently cut.
    FileBytes bytes(size + 1);
    size_t filled = 0;
    while (filled < bytes.size()) {
        const size_t got = readSome(file, name, bytes.data() + filled, bytes.size() - filled);
        if (got == 0)
            break;
        filled += got;
        if (filled == bytes.size() && bytes.size() <= static_cast<size_t>(kMaxFileSize))
            bytes.resize(std::min(bytes.size() * 2, static_cast<size_t>(kMaxFileSize) + 1));
    }
    if (filled > static_cast<size_t>(kMaxFileSize))
        throwCannotOpen(name, EFBIG);
    bytes.resize(filled);
    return bytes;
}

bool FileHolds(const std::string& name, std::span<const unsigned char> bytes) {
    size_t size = 0;
    const FileDescriptor file = openPictureFile(name, size);
    if (size != bytes.size())
        return false;
    // On the stack: the heap's free pages may have been given back, and
    // touching fresh ones at every step costs more than the comparison.
    unsigned char chunk[64 * 1024];
    size_t compared = 0;
    while (true) {
        const size_t got = readSome(file, name, chunk, sizeof chunk);
        if (got == 0)
            return compared == bytes.size();
        if (got > bytes.size() - compared || std::memcmp(chunk, bytes.data() + compared, got) != 0)
            return false;
        compared += got;
    }
}

} // namespace browser

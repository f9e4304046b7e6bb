#include "fileCopy.h"

#include "error.h"
#include "fileServices.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace browser {
namespace {

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

[[noreturn]] void fail(const char* what, const std::string& destination, int error) {
    throw Error(std::string("Cannot ") + what + " file \"" + FullPath(destination) + "\". " +
                std::strerror(error));
}

// The temporary file, removed unless it was renamed into place. Its name
// does not carry the destination's, which may already be as long as allowed.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& destination)
        : path_(folderOf(destination) + "/.tollvane-copy-XXXXXX") {
        fd_ = ::mkostemp(path_.data(), O_CLOEXEC);
    }
    ~TemporaryFile() {
        if (fd_ >= 0)
            ::close(fd_);
        if (!placed_)
            ::unlink(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool Created() const { return fd_ >= 0; }
    int Descriptor() const { return fd_; }
    const std::string& Path() const { return path_; }

    // Closes the file, reporting the error a late write-back may give.
    int Close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }
    void Placed() { placed_ = true; }

private:
    std::string path_;
    int fd_ = -1;
    bool placed_ = false;
};

mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool writeAll(int fd, std::span<const unsigned char> bytes) {
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t done = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (done < 0 && errno == EINTR)
            continue;
        if (done < 0)
            return false;
        if (done == 0) {
            errno = ENOSPC;
            return false;
        }
        written += static_cast<size_t>(done);
    }
    return true;
}

void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd); // the rename is done; this only hastens its way to disk
        ::close(fd);
    }
}

} // namespace

void SaveFileReplacing(const std::string& destination, std::span<const unsigned char> bytes) {
    struct stat existing {};
    if (::stat(destination.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode))
        fail("create", destination, EISDIR);

    TemporaryFile temporary(destination);
    if (!temporary.Created())
        fail("create", destination, errno);
    if (::fchmod(temporary.Descriptor(), newFileMode()) != 0)
        fail("create", destination, errno);
    if (!writeAll(temporary.Descriptor(), bytes) || ::fsync(temporary.Descriptor()) != 0 ||
        temporary.Close() != 0)
        fail("write", destination, errno);
    if (::rename(temporary.Path().c_str(), destination.c_str()) != 0)
        fail("write", destination, errno);
    temporary.Placed();
    syncFolder(folderOf(destination));
}

} // namespace browser

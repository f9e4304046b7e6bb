#include "tmpfsMount.h"

#include <cerrno>
#include <cstring>
#include <sys/mount.h>

TmpfsMount::TmpfsMount(const std::string& folder, const std::string& options)
    : folder_(folder), options_(options) {
    if (::mount("tmpfs", folder_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options_.c_str()) == 0)
        mounted_ = true;
    else
        refusal_ = std::string("mount -t tmpfs refused: ") + std::strerror(errno);
}

TmpfsMount::~TmpfsMount() {
    if (mounted_ && ::umount(folder_.c_str()) != 0)
        ::umount2(folder_.c_str(), MNT_DETACH);
}

bool TmpfsMount::MakeReadOnly() {
    if (::mount("tmpfs", folder_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY | MS_NOSUID | MS_NODEV,
                options_.c_str()) == 0)
        return true;
    refusal_ = std::string("remounting read-only refused: ") + std::strerror(errno);
    return false;
}

#include "directorySearch.h"

#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>

namespace browser {
namespace {

constexpr char kPictureSuffix[] = ".jpg";
constexpr size_t kPictureSuffixLength = sizeof kPictureSuffix - 1;

std::int64_t entrySize(int folder, const char* name) {
    struct stat info {};
    if (::fstatat(folder, name, &info, 0) == 0)
        return info.st_size;
    // A dangling link still is an entry; report the link itself.
    if (::fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) == 0)
        return info.st_size;
    return 0;
}

} // namespace

std::int64_t EntrySize(const std::string& path) {
    return entrySize(AT_FDCWD, path.c_str());
}

bool MatchesPicturePattern(const std::string& name) {
    return name.size() >= kPictureSuffixLength &&
           ::strcasecmp(name.c_str() + name.size() - kPictureSuffixLength, kPictureSuffix) == 0;
}

std::vector<TSearchRec> FindPictures(const std::string& folder, EntrySizes sizes) {
    std::vector<TSearchRec> found;
    DIR* listing = ::opendir(folder.c_str());
    if (listing == nullptr)
        return found;
    while (const dirent* entry = ::readdir(listing)) {
        std::string name = entry->d_name;
        if (name == "." || name == ".." || !MatchesPicturePattern(name))
            continue;
        const std::int64_t size = sizes == EntrySizes::Read
                                      ? entrySize(::dirfd(listing), entry->d_name)
                                      : TSearchRec::kSizeNotRead;
        found.push_back({std::move(name), size});
    }
    ::closedir(listing);
    return found;
}

} // namespace browser

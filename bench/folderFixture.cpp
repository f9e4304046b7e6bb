#include "folderFixture.h"

#include <cstdio>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace bench {
namespace {

void makeFile(const std::string& path, size_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        throw std::runtime_error("cannot create " + path);
    static const std::string content(1024, '\xAB');
    const bool written =
        size == 0 || ::write(fd, content.data(), size) == static_cast<ssize_t>(size);
    ::close(fd);
    if (!written)
        throw std::runtime_error("cannot write " + path);
}

std::string numbered(const char* format, int number) {
    char name[64];
    std::snprintf(name, sizeof name, format, number);
    return name;
}

} // namespace

FolderMix MixFor(int entries) {
    FolderMix mix;
    mix.Folders = entries / 1000;
    mix.OtherFiles = entries / 5;
    mix.SmallPictures = entries / 10;
    mix.EmptyPictures = entries - mix.Folders - mix.OtherFiles - mix.SmallPictures;
    return mix;
}

void MakeCrowdedFolder(const std::string& folder, const FolderMix& mix) {
    const std::string base = folder + "/";
    for (int i = 0; i < mix.EmptyPictures; ++i)
        makeFile(base + numbered("IMG_%06d.jpg", i), 0);
    for (int i = 0; i < mix.SmallPictures; ++i)
        makeFile(base + numbered(i % 2 ? "DSC%06d.JPG" : "Photo %d.Jpg", i),
                 static_cast<size_t>(200 + i % 800));
    static const char* const otherNames[] = {"notes %d.txt", "IMG_%06d.jpeg", "scan%d.png",
                                             "IMG_%06d.jpg.bak", "raw%djpg"};
    for (int i = 0; i < mix.OtherFiles; ++i)
        makeFile(base + numbered(otherNames[i % 5], i), static_cast<size_t>(i % 3) * 100);
    for (int i = 0; i < mix.Folders; ++i) {
        const std::string name = base + numbered(i % 4 ? "folder %d" : "album%d.jpg", i);
        if (::mkdir(name.c_str(), 0755) != 0)
            throw std::runtime_error("cannot create " + name);
    }
}

} // namespace bench

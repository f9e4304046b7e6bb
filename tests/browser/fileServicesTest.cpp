#include "fileServices.h"
#include "jpegFixtures.h"
#include "testFiles.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

TEST(FileServices, DirectoryExistsOnlyForAbsoluteDirectories) {
    testfiles::WorkingDirectoryGuard guard;
    fixtures::TempDir tmp;
    testfiles::MakeFolder(tmp.File("sub"));
    // A real folder that a virtual name would reach if it were taken as a
    // relative path from the working directory.
    testfiles::MakeFolder(tmp.File("computer:"));
    testfiles::MakeFolder(tmp.File("network:"));
    fixtures::WriteFile(tmp.File("file"), {1});
    testfiles::MakeSymlink(tmp.File("sub"), tmp.File("link"));
    ASSERT_EQ(::chdir(tmp.Path().c_str()), 0);

    const struct {
        std::string Path;
        bool Exists;
    } cases[] = {
        {"/", true},
        {tmp.Path(), true},
        {tmp.Path() + "/", true},
        {tmp.File("sub"), true},
        {tmp.File("link"), true}, // a link to a folder is entered like the folder
        {"computer:///", false},
        {"network:///", false},
        {".", false},
        {"sub", false},
        {"./sub", false},
        {"", false},
        {tmp.File("file"), false},
        {tmp.File("missing"), false},
        {tmp.File("file/sub"), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(browser::DirectoryExists(c.Path), c.Exists) << '"' << c.Path << '"';
}

TEST(FileServices, ReadWholeFileReturnsExactBytes) {
    fixtures::TempDir tmp;
    std::mt19937 random(7);
    for (size_t size : {size_t{0}, size_t{1}, size_t{4096}, size_t{65537}, size_t{1} << 20}) {
        SCOPED_TRACE("size " + std::to_string(size));
        std::vector<unsigned char> bytes(size);
        for (auto& byte : bytes)
            byte = static_cast<unsigned char>(random());
        const std::string path = tmp.File("f" + std::to_string(size));
        fixtures::WriteFile(path, bytes);
        EXPECT_EQ(fixtures::Plain(browser::ReadWholeFile(path)), bytes);
    }
}

} // namespace

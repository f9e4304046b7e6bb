// Saving the kept bytes of the picture on show: the copy is the file as it
// was loaded, byte for byte, and a copy that fails leaves the previous file
// of that name exactly as it was, with nothing else left behind.

#include "error.h"
#include "fileCopy.h"
#include "jpegFixtures.h"
#include "picture.h"
#include "tmpfsMount.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using fixtures::Listing;

std::vector<unsigned char> Picture(int width, int height, std::uint32_t seed = 1) {
    fixtures::JpegSpec spec;
    spec.Width = width;
    spec.Height = height;
    spec.Seed = seed;
    spec.Fill = fixtures::Pattern::Noise;
    return fixtures::MakeJpeg(spec);
}

// The message of the Error the call throws, or "no error".
template <typename Call> std::string ErrorOf(Call&& call) {
    try {
        call();
    } catch (const browser::Error& error) {
        return error.what();
    }
    return "no error";
}

class SaveFile : public ::testing::Test {
protected:
    fixtures::TempDir dir_;
    std::string Path(const std::string& name) const { return dir_.File(name); }
};

TEST_F(SaveFile, WritesTheBytesExactlyWithTheUsualPermissions) {
    const std::vector<unsigned char> bytes = Picture(50, 40);
    const struct {
        mode_t Umask;
        mode_t Mode;
    } cases[] = {{022, 0644}, {077, 0600}, {002, 0664}};
    for (const auto& c : cases) {
        SCOPED_TRACE("umask " + std::to_string(c.Umask));
        const mode_t saved = ::umask(c.Umask);
        const std::string destination = Path("copy.jpg");
        std::filesystem::remove(destination);
        browser::SaveFileReplacing(destination, bytes);
        ::umask(saved);
        EXPECT_EQ(fixtures::ReadFile(destination), bytes);
        struct stat info {};
        ASSERT_EQ(::stat(destination.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, c.Mode);
        EXPECT_EQ(Listing(dir_.Path()), std::vector<std::string>{"copy.jpg"});
    }
}

TEST_F(SaveFile, ReplacesAnExistingFileWhole) {
    const std::vector<unsigned char> bytes = Picture(50, 40);
    const struct {
        const char* Name;
        std::vector<unsigned char> Old;
    } cases[] = {
        {"longer", std::vector<unsigned char>(bytes.size() * 4, 0xAB)},
        {"shorter", {1, 2, 3}},
        {"empty", {}},
        {"same", bytes},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        fixtures::WriteFile(Path("x.jpg"), c.Old);
        browser::SaveFileReplacing(Path("x.jpg"), bytes);
        EXPECT_EQ(fixtures::ReadFile(Path("x.jpg")), bytes);
        EXPECT_EQ(Listing(dir_.Path()), std::vector<std::string>{"x.jpg"});
    }
}

constexpr unsigned char kTwoBytes[] = {1, 2};

TEST_F(SaveFile, ADestinationThatCannotBeCreatedIsReported) {
    std::filesystem::create_directory(Path("folder.jpg"));
    fixtures::WriteFile(Path("folder.jpg/inside"), {'k'});
    EXPECT_EQ(ErrorOf([&] { browser::SaveFileReplacing(Path("folder.jpg"), kTwoBytes); }),
              "Cannot create file \"" + Path("folder.jpg") + "\". Is a directory");
    EXPECT_TRUE(std::filesystem::is_directory(Path("folder.jpg")));
    EXPECT_EQ(Listing(Path("folder.jpg")), std::vector<std::string>{"inside"});

    EXPECT_EQ(ErrorOf([&] { browser::SaveFileReplacing(Path("gone/a.jpg"), kTwoBytes); }),
              "Cannot create file \"" + Path("gone/a.jpg") + "\". No such file or directory");
    EXPECT_EQ(Listing(dir_.Path()), std::vector<std::string>{"folder.jpg"});
}

TEST_F(SaveFile, ARelativeDestinationIsReportedWithItsFullPath) {
    const std::string saved = std::filesystem::current_path().string();
    ASSERT_EQ(::chdir(dir_.Path().c_str()), 0);
    const std::string message =
        ErrorOf([] { browser::SaveFileReplacing("missing/a.jpg", kTwoBytes); });
    ASSERT_EQ(::chdir(saved.c_str()), 0);
    EXPECT_EQ(message,
              "Cannot create file \"" + Path("missing/a.jpg") + "\". No such file or directory");
}

// The picture object saves the bytes it read when it was loaded, whatever
// happened to the file since; before any load it writes nothing.
TEST_F(SaveFile, PictureSavesTheBytesAsLoaded) {
    browser::TPicture picture;
    picture.Save(Path("never.jpg"));
    EXPECT_TRUE(Listing(dir_.Path()).empty());

    const std::vector<unsigned char> loaded = Picture(64, 48, 1);
    fixtures::WriteFile(Path("source.jpg"), loaded);
    picture.Load(Path("source.jpg"));
    fixtures::WriteFile(Path("source.jpg"), Picture(80, 60, 2));
    picture.Save(Path("copy.jpg"));
    EXPECT_EQ(fixtures::ReadFile(Path("copy.jpg")), loaded);

    SCOPED_TRACE("over the source itself");
    picture.Save(Path("source.jpg"));
    EXPECT_EQ(fixtures::ReadFile(Path("source.jpg")), loaded);
    EXPECT_EQ(Listing(dir_.Path()), (std::vector<std::string>{"copy.jpg", "source.jpg"}));

    SCOPED_TRACE("a failed load keeps what was loaded before");
    fixtures::WriteFile(Path("bad.jpg"), {'n', 'o'});
    EXPECT_NE(ErrorOf([&] { picture.Load(Path("bad.jpg")); }), "no error");
    picture.Save(Path("again.jpg"));
    EXPECT_EQ(fixtures::ReadFile(Path("again.jpg")), loaded);
}

class MountedTarget : public SaveFile {
protected:
    void SetUp() override { std::filesystem::create_directory(Target()); }
    std::string Target() const { return Path("target"); }
    std::string Destination() const { return Path("target/picture.jpg"); }
};

TEST_F(MountedTarget, AReadOnlyTargetIsReportedAndKeepsItsFile) {
    TmpfsMount mount(Target(), "size=1m");
    if (!mount.Mounted())
        GTEST_SKIP() << mount.Refusal();
    const std::vector<unsigned char> old = {'o', 'l', 'd'};
    fixtures::WriteFile(Destination(), old);
    if (!mount.MakeReadOnly())
        GTEST_SKIP() << mount.Refusal();

    EXPECT_EQ(ErrorOf([&] { browser::SaveFileReplacing(Destination(), Picture(64, 48)); }),
              "Cannot create file \"" + Destination() + "\". Read-only file system");
    EXPECT_EQ(fixtures::ReadFile(Destination()), old);
    EXPECT_EQ(Listing(Target()), std::vector<std::string>{"picture.jpg"});
}

TEST_F(MountedTarget, AFullTargetIsReportedAndKeepsItsFile) {
    TmpfsMount mount(Target(), "size=64k");
    if (!mount.Mounted())
        GTEST_SKIP() << mount.Refusal();
    const std::vector<unsigned char> old = Picture(20, 20, 5);
    fixtures::WriteFile(Destination(), old);
    const std::vector<unsigned char> large = Picture(400, 400, 6);
    ASSERT_GT(large.size(), 64u * 1024) << "the picture must not fit";

    EXPECT_EQ(ErrorOf([&] { browser::SaveFileReplacing(Destination(), large); }),
              "Cannot write file \"" + Destination() + "\". No space left on device");
    EXPECT_EQ(fixtures::ReadFile(Destination()), old);
    EXPECT_EQ(Listing(Target()), std::vector<std::string>{"picture.jpg"});

    SCOPED_TRACE("a picture that fits still goes in");
    const std::vector<unsigned char> small = Picture(30, 30, 7);
    browser::SaveFileReplacing(Destination(), small);
    EXPECT_EQ(fixtures::ReadFile(Destination()), small);
}

// The same fault without a mount: a file-size limit. It is set in a child
// process so this one keeps its own limits; the child ignores SIGXFSZ as
// the program does, so the write fails instead of ending the process.
TEST_F(SaveFile, AFileSizeLimitIsReportedAndKeepsTheOldFile) {
    const std::vector<unsigned char> old = {'o', 'l', 'd', '!'};
    fixtures::WriteFile(Path("limited.jpg"), old);
    const std::vector<unsigned char> large = Picture(200, 200, 8);
    ASSERT_GT(large.size(), 8192u);

    int channel[2];
    ASSERT_EQ(::pipe(channel), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(channel[0]);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{8192, 8192};
        std::string message = "setrlimit failed";
        if (::setrlimit(RLIMIT_FSIZE, &limit) == 0)
            message = ErrorOf([&] { browser::SaveFileReplacing(Path("limited.jpg"), large); });
        const ssize_t written = ::write(channel[1], message.data(), message.size());
        ::_exit(written == static_cast<ssize_t>(message.size()) ? 0 : 1);
    }
    ::close(channel[1]);
    std::string message;
    char chunk[512];
    ssize_t got = 0;
    while ((got = ::read(channel[0], chunk, sizeof chunk)) > 0)
        message.append(chunk, static_cast<size_t>(got));
    ::close(channel[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the child ended by signal " << WTERMSIG(status);

    EXPECT_EQ(message, "Cannot write file \"" + Path("limited.jpg") + "\". File too large");
    EXPECT_EQ(fixtures::ReadFile(Path("limited.jpg")), old);
    EXPECT_EQ(Listing(dir_.Path()), std::vector<std::string>{"limited.jpg"});
}

} // namespace

// Files a camera, a download or a damaged card may hand the program. Each
// must end as a clear error or a partial picture, quickly and with bounded
// memory, and the program must go on working afterwards. Every case runs in
// a child process so that its peak memory is its own.

#include "error.h"
#include "imageList.h"
#include "jpegFixtures.h"
#include "jpegSurgery.h"
#include "picture.h"
#include "testFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <jerror.h>
#include <jpeglib.h>

#if defined(__SANITIZE_ADDRESS__)
#define TOLLVANE_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TOLLVANE_ASAN 1
#endif
#endif

namespace {

using fixtures::JpegSpec;

constexpr std::chrono::seconds kQuickly{5};
constexpr long kMemoryBoundKiB = 64 * 1024;

struct Outcome {
    char Message[512] = {};
    bool Partial = false; // decoded: a (possibly partial) picture
    bool StillWorks = false;
    long PeakGrowthKiB = 0;
    double Seconds = 0;
};

long peakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Loads and draws `name` in a child, then a good picture to show the
// program still works.
Outcome runInChild(const std::string& name, const std::string& good) {
    int channel[2];
    if (pipe(channel) != 0)
        throw std::runtime_error("pipe");
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        Outcome outcome;
        const long before = peakKiB();
        const auto start = std::chrono::steady_clock::now();
        browser::TPicture picture;
        try {
            picture.Load(name);
            outcome.Partial = picture.Graphic()->Pixels() != nullptr;
        } catch (const browser::Error& error) {
            std::snprintf(outcome.Message, sizeof outcome.Message, "%s", error.what());
        }
        outcome.Seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        outcome.PeakGrowthKiB = peakKiB() - before;
        try {
            picture.Load(good);
            outcome.StillWorks = picture.LoadedName() == good && picture.Graphic()->Pixels();
        } catch (const browser::Error&) {
        }
        const ssize_t written = write(channel[1], &outcome, sizeof outcome);
        _exit(written == sizeof outcome ? 0 : 1);
    }
    close(channel[1]);
    Outcome outcome;
    const ssize_t got = read(channel[0], &outcome, sizeof outcome);
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (got != sizeof outcome || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("the child died on " + name);
    return outcome;
}

std::string jpegError(int code) {
    return "JPEG error #" + std::to_string(code);
}

std::vector<unsigned char> withCorruptScanData(std::vector<unsigned char> bytes) {
    const surgery::Segment scan = surgery::Scans(bytes).front();
    std::mt19937 random(7);
    for (std::size_t at = scan.Offset + scan.Length / 3; at < scan.Offset + scan.Length - 2; ++at)
        bytes[at] = static_cast<unsigned char>(random() % 0xFF); // never a marker
    return bytes;
}

std::vector<unsigned char> withBadHuffmanTable(std::vector<unsigned char> bytes) {
    for (const surgery::Segment& segment : surgery::Segments(bytes)) {
        if (segment.Marker == 0xC4) {
            // The 16 code counts that follow the table's class and number.
            for (std::size_t i = 0; i < 16; ++i)
                bytes[segment.Offset + 5 + i] = 0xFF;
            return bytes;
        }
    }
    throw std::runtime_error("no Huffman table in the fixture");
}

TEST(HostileCorpus, EachEndsAsAClearErrorOrAPartialPictureQuicklyAndInBoundedMemory) {
    fixtures::TempDir tmp;
    testfiles::WorkingDirectoryGuard keepWorkingDirectory;
    const JpegSpec photo{.Width = 160, .Height = 120, .Fill = fixtures::Pattern::Noise};
    const JpegSpec progressive{
        .Width = 160, .Height = 120, .Fill = fixtures::Pattern::Noise, .Progressive = true};
    const std::string good = tmp.File("good.jpg");
    fixtures::WriteFile(good, fixtures::MakeJpeg(photo));

    auto claiming = [](const JpegSpec& spec, int width, int height) {
        std::vector<unsigned char> bytes = fixtures::MakeJpeg(spec);
        surgery::SetFrameSize(bytes, width, height);
        return bytes;
    };
    auto file = [](std::vector<unsigned char> bytes) {
        return [bytes](const std::string& path) { fixtures::WriteFile(path, bytes); };
    };
    const std::string tooBig = jpegError(JERR_IMAGE_TOO_BIG);

    const struct {
        const char* Label;
        std::function<void(const std::string&)> Make;
        std::string Message; // empty: a partial picture is shown
    } cases[] = {
        {"header-only progressive 65000x65000",
         file(surgery::HeaderOnly(claiming(progressive, 65000, 65000))), tooBig},
        {"truncated baseline 65000x65000",
         file(surgery::CutInScan(claiming(photo, 65000, 65000), 0, 0.5)), tooBig},
        {"10,000-scan progressive",
         file(surgery::RepeatLastScan(fixtures::MakeJpeg(progressive), 9990)),
         "JPEG image has too many scans (more than 100)"},
        {"truncated in the picture data",
         file(surgery::CutInScan(fixtures::MakeJpeg(photo), 0, 0.4)), ""},
        {"header only", file(surgery::HeaderOnly(fixtures::MakeJpeg(photo))), ""},
        {"corrupt Huffman-coded data", file(withCorruptScanData(fixtures::MakeJpeg(photo))), ""},
        {"bad Huffman table", file(withBadHuffmanTable(fixtures::MakeJpeg(photo))),
         jpegError(JERR_BAD_HUFF_TABLE)},
        {"zero height", file(claiming(photo, 160, 0)), jpegError(JERR_EMPTY_IMAGE)},
        {"not a JPEG", file({'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0}), jpegError(JERR_NO_SOI)},
        {"a directory named x.jpg", [](const std::string& path) { testfiles::MakeFolder(path); },
         "Cannot open file \"" + tmp.File("hostile.jpg") + "\". Is a directory"},
        {"sparse 3 GiB file",
         [](const std::string& path) { testfiles::MakeSparseFile(path, 3LL << 30); },
         "Cannot open file \"" + tmp.File("hostile.jpg") + "\". File too large"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Label);
        const std::string path = tmp.File("hostile.jpg");
        std::remove(path.c_str());
        ::rmdir(path.c_str());
        c.Make(path);
        const Outcome outcome = runInChild(path, good);
        EXPECT_EQ(outcome.Message, c.Message);
        EXPECT_EQ(outcome.Partial, c.Message.empty());
        EXPECT_TRUE(outcome.StillWorks);
        EXPECT_LT(outcome.Seconds, kQuickly.count());
#ifndef TOLLVANE_ASAN
        EXPECT_LT(outcome.PeakGrowthKiB, kMemoryBoundKiB);
#endif
    }
}

TEST(HostileCorpus, EmptyFileIsAnEmptyPicture) {
    fixtures::TempDir tmp;
    const std::string good = tmp.File("good.jpg");
    fixtures::WriteFile(good, fixtures::MakeJpeg({}));
    fixtures::WriteFile(tmp.File("empty.jpg"), {});
    const Outcome outcome = runInChild(tmp.File("empty.jpg"), good);
    EXPECT_STREQ(outcome.Message, "");
    EXPECT_FALSE(outcome.Partial) << "nothing to draw";
    EXPECT_TRUE(outcome.StillWorks);
}

TEST(HostileCorpus, AFileThatVanishesBetweenScanAndLoadIsAClearError) {
    fixtures::TempDir tmp;
    testfiles::WorkingDirectoryGuard keepWorkingDirectory;
    fixtures::WriteFile(tmp.File("a.jpg"), fixtures::MakeJpeg({}));
    fixtures::WriteFile(tmp.File("b.jpg"), fixtures::MakeJpeg({}));
    browser::ImageList list;
    ASSERT_EQ(list.Scan(tmp.Path()), browser::ImageList::ScanOutcome::Listed);
    const std::string vanishing = list.CurrentEntry().Name;
    std::remove(tmp.File(vanishing).c_str());

    browser::TPicture picture;
    try {
        picture.Load(vanishing);
        ADD_FAILURE() << "a vanished file cannot load";
    } catch (const browser::Error& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot open file \"" +
                                                 testfiles::RealPath(tmp.Path()) + "/" + vanishing +
                                                 "\". No such file or directory");
    }
    list.StepForward();
    ASSERT_NO_THROW(picture.Load(list.CurrentEntry().Name));
    EXPECT_NE(picture.Graphic()->Pixels(), nullptr);
}

} // namespace

#include "picture.h"
#include "error.h"
#include "fileServices.h"
#include "jpegFixtures.h"
#include "jpegSurgery.h"
#include "testFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

namespace {

using fixtures::JpegSpec;

std::string jpegError(int code) {
    return "JPEG error #" + std::to_string(code);
}

// Loads and returns the error text; empty when nothing was thrown.
std::string loadError(browser::TPicture& picture, const std::string& name) {
    try {
        picture.Load(name);
    } catch (const browser::Error& error) {
        return error.what();
    }
    return {};
}

TEST(PictureLoad, KeepsBytesNameAndHeader) {
    testfiles::WorkingDirectoryGuard guard;
    fixtures::TempDir tmp;
    ASSERT_EQ(::chdir(tmp.Path().c_str()), 0);

    const struct {
        std::string Name; // relative to the working directory unless absolute
        JpegSpec Spec;
        bool Progressive;
        bool Gray;
    } cases[] = {
        {"photo.jpg", {.Width = 64, .Height = 48}, false, false},
        {"PHOTO.JPEG", {.Width = 33, .Height = 17, .Progressive = true}, true, false},
        {"gray.Jpg", {.Width = 37, .Height = 20, .Space = fixtures::Colour::Gray}, false, true},
        {"two.dots.jPeG", {.Width = 8, .Height = 8, .Seed = 2}, false, false},
        {tmp.File("absolute.jpg"), {.Width = 16, .Height = 9, .Seed = 3}, false, false},
    };
    browser::TPicture picture;
    EXPECT_EQ(picture.Graphic(), nullptr);
    EXPECT_EQ(picture.LoadedName(), "");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::vector<unsigned char> bytes = fixtures::MakeJpeg(c.Spec);
        fixtures::WriteFile(c.Name, bytes);
        ASSERT_NO_THROW(picture.Load(c.Name));
        ASSERT_NE(picture.Graphic(), nullptr);
        EXPECT_EQ(picture.LoadedName(), c.Name);
        EXPECT_EQ(fixtures::Plain(picture.Graphic()->Bytes()), fixtures::ReadFile(c.Name));
        EXPECT_EQ(picture.Graphic()->Width(), c.Spec.Width);
        EXPECT_EQ(picture.Graphic()->Height(), c.Spec.Height);
        EXPECT_EQ(picture.Graphic()->MultipleScans(), c.Progressive);
        EXPECT_EQ(picture.Graphic()->Grayscale(), c.Gray);
    }

    // The kept bytes are the file as it was read, not as it is now.
    const std::vector<unsigned char> shown = fixtures::Plain(picture.Graphic()->Bytes());
    fixtures::WriteFile(cases[4].Name, fixtures::MakeJpeg({.Seed = 9}));
    EXPECT_EQ(fixtures::Plain(picture.Graphic()->Bytes()), shown);
}

TEST(PictureLoad, EmptyFileIsAnEmptyPicture) {
    testfiles::WorkingDirectoryGuard guard;
    fixtures::TempDir tmp;
    ASSERT_EQ(::chdir(tmp.Path().c_str()), 0);
    fixtures::WriteFile("empty.jpg", {});

    browser::TPicture picture;
    ASSERT_NO_THROW(picture.Load("empty.jpg"));
    browser::TJPEGImage* graphic = picture.Graphic();
    ASSERT_NE(graphic, nullptr);
    EXPECT_EQ(picture.LoadedName(), "empty.jpg");
    EXPECT_TRUE(graphic->Empty());
    EXPECT_TRUE(graphic->Bytes().empty());
    EXPECT_EQ(graphic->Width(), 0);
    EXPECT_EQ(graphic->Height(), 0);
    EXPECT_EQ(graphic->Pixels(), nullptr);
    EXPECT_EQ(graphic->Pixels(), nullptr);
}

// Every way a load can fail, each tried on a picture that already shows a
// good graphic, which must stay exactly as it was.
TEST(PictureLoad, FailuresKeepThePreviousGraphic) {
    testfiles::WorkingDirectoryGuard guard;
    fixtures::TempDir tmp;
    ASSERT_EQ(::chdir(tmp.Path().c_str()), 0);
    const std::string cwd = testfiles::CurrentDirectory();
    const auto cannotOpen = [&cwd](const std::string& name, const char* reason) {
        return "Cannot open file \"" + (name.front() == '/' ? name : cwd + "/" + name) + "\". " +
               reason;
    };

    const std::vector<unsigned char> good = fixtures::MakeJpeg({.Width = 20, .Height = 10});
    const std::vector<unsigned char> text = {'h', 'e', 'l', 'l', 'o', '\n'};
    std::vector<unsigned char> tooBig = fixtures::MakeJpeg({.Progressive = true});
    surgery::SetFrameSize(tooBig, 65000, 65000);
    tooBig = surgery::HeaderOnly(tooBig);
    std::vector<unsigned char> noScan = surgery::HeaderOnly(good);
    noScan.resize(surgery::Scans(good).at(0).Offset); // ends before the first scan header

    const struct {
        const char* Name;
        std::function<void(const std::string&)> Make;
        std::string Message;
    } cases[] = {
        {"picture.png", [&](auto& p) { fixtures::WriteFile(p, good); },
         "Unknown picture file extension (.png)"},
        {"picture.jpg.bak", [&](auto& p) { fixtures::WriteFile(p, good); },
         "Unknown picture file extension (.bak)"},
        {"picture", [&](auto& p) { fixtures::WriteFile(p, good); },
         "Unknown picture file extension (.)"},
        {"missing.jpg", [](auto&) {}, cannotOpen("missing.jpg", "No such file or directory")},
        {"folder.jpg", [](auto& p) { testfiles::MakeFolder(p); },
         cannotOpen("folder.jpg", "Is a directory")},
        {"huge.jpg", [](auto& p) { testfiles::MakeSparseFile(p, browser::kMaxFileSize + 1); },
         cannotOpen("huge.jpg", "File too large")},
        {"text.jpg", [&](auto& p) { fixtures::WriteFile(p, text); }, jpegError(JERR_NO_SOI)},
        {"text.jpeg", [&](auto& p) { fixtures::WriteFile(p, text); }, jpegError(JERR_NO_SOI)},
        {"no-scan.jpg", [&](auto& p) { fixtures::WriteFile(p, noScan); },
         jpegError(JERR_SOF_NO_SOS)},
        {"too-big.jpg", [&](auto& p) { fixtures::WriteFile(p, tooBig); },
         jpegError(JERR_IMAGE_TOO_BIG)},
        // Opening a pipe for reading would wait for a writer forever.
        {"pipe.jpg", [](auto& p) { testfiles::MakeFifo(p); },
         cannotOpen("pipe.jpg", "No such device or address")},
    };

    fixtures::WriteFile("good.jpg", good);
    browser::TPicture picture;
    ASSERT_NO_THROW(picture.Load("good.jpg"));
    const browser::TJPEGImage* shown = picture.Graphic();
    ASSERT_NE(shown, nullptr);

    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        c.Make(c.Name);
        std::optional<testfiles::PipeReleaser> release;
        if (c.Message.ends_with("No such device or address"))
            release.emplace(c.Name);
        EXPECT_EQ(loadError(picture, c.Name), c.Message);
        if (release) {
            EXPECT_FALSE(release->Released()) << "the load waited for a writer";
        }
        ASSERT_EQ(picture.Graphic(), shown);
        EXPECT_EQ(fixtures::Plain(picture.Graphic()->Bytes()), good);
        EXPECT_EQ(picture.Graphic()->Width(), 20);
        EXPECT_EQ(picture.LoadedName(), "good.jpg");
    }

    // An absolute name is reported as it was given.
    const std::string gone = tmp.File("gone.jpg");
    EXPECT_EQ(loadError(picture, gone), cannotOpen(gone, "No such file or directory"));
    EXPECT_EQ(picture.Graphic(), shown);
    EXPECT_EQ(picture.LoadedName(), "good.jpg");
}

} // namespace

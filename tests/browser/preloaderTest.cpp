#include "preloader.h"
#include "error.h"
#include "fileServices.h"
#include "jpegFixtures.h"
#include "jpegSurgery.h"
#include "picture.h"
#include "testFiles.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using browser::Preloader;
using browser::TJPEGImage;

struct PreloaderTest : ::testing::Test {
    fixtures::TempDir folder;

    std::string write(const std::string& name, const std::vector<unsigned char>& bytes) {
        fixtures::WriteFile(folder.File(name), bytes);
        return folder.File(name);
    }
    // a.jpg on show, b.jpg preloaded as its neighbour.
    struct Stepping {
        std::string A, B;
        Preloader Preloads;
        browser::TPicture Shown;
    };
    void showAWithBPreloaded(Stepping& s) {
        s.A = picture("a.jpg", 1);
        s.B = picture("b.jpg", 2);
        s.Shown.Load(s.A, &s.Preloads);
        s.Preloads.Want({s.B});
        s.Preloads.WaitIdle();
    }

    std::string picture(const std::string& name, std::uint32_t seed = 1) {
        fixtures::JpegSpec spec;
        spec.Width = 120;
        spec.Height = 80;
        spec.Fill = fixtures::Pattern::Noise;
        spec.Seed = seed;
        return write(name, fixtures::MakeJpeg(spec));
    }
};

bool samePixels(const browser::DecodedPixels& a, const browser::DecodedPixels& b) {
    if (a.Width != b.Width || a.Height != b.Height || a.Format != b.Format || a.Stride != b.Stride)
        return false;
    return std::memcmp(a.Buffer.Data(), b.Buffer.Data(), a.Stride * a.Height) == 0;
}

TEST_F(PreloaderTest, WantedPictureIsReadyDecodedAndEqualToADirectDecode) {
    const std::string path = picture("a.jpg");
    Preloader preloads;
    preloads.Want({path});
    preloads.WaitIdle();

    const auto bytes = fixtures::ReadFile(path);
    std::unique_ptr<TJPEGImage> ready = preloads.Take(path, bytes);
    ASSERT_NE(ready, nullptr);
    EXPECT_TRUE(ready->DecodedWell());
    TJPEGImage direct(testfiles::AsFileBytes(bytes));
    EXPECT_TRUE(samePixels(*ready->Pixels(), *direct.Pixels()));
    EXPECT_EQ(preloads.Take(path, bytes), nullptr) << "taken once, gone";
}

TEST_F(PreloaderTest, NothingIsHandedOutThatDoesNotMatchTheFileAsReadNow) {
    const std::string a = picture("a.jpg", 1);
    const std::string b = picture("b.jpg", 2);
    Preloader preloads;
    preloads.Want({a, b});
    preloads.WaitIdle();

    // The file changed between preload and step: its new bytes decide.
    const std::string changed = picture("a.jpg", 3);
    EXPECT_EQ(preloads.Take(a, fixtures::ReadFile(changed)), nullptr);

    // No longer wanted: dropped.
    preloads.Want({});
    EXPECT_EQ(preloads.Take(b, fixtures::ReadFile(b)), nullptr);
}

TEST_F(PreloaderTest, AFailedPreloadedDecodeIsReportedAtFirstDrawLikeADirectOne) {
    auto bytes = fixtures::MakeJpeg({.Width = 64, .Height = 64, .Progressive = true});
    surgery::SetScanSpectralEnd(bytes, 1, 70); // a fatal error, met only when decoding
    const std::string path = write("bad.jpg", bytes);

    TJPEGImage direct(testfiles::AsFileBytes(bytes));
    std::string directMessage;
    try {
        direct.Pixels();
    } catch (const browser::Error& error) {
        directMessage = error.what();
    }
    ASSERT_FALSE(directMessage.empty()) << "the fixture must fail at decode";

    Preloader preloads;
    preloads.Want({path});
    preloads.WaitIdle();
    std::unique_ptr<TJPEGImage> ready = preloads.Take(path, bytes);
    ASSERT_NE(ready, nullptr);
    try {
        ready->Pixels();
        ADD_FAILURE() << "the failure must be reported at first draw";
    } catch (const browser::Error& error) {
        EXPECT_EQ(error.what(), directMessage);
    }
    EXPECT_EQ(ready->Pixels(), nullptr) << "and only once";
}

TEST_F(PreloaderTest, UnreadableWantedFilesAreLeftToTheDirectLoad) {
    const std::string text = write("text.jpg", {'n', 'o', 't', ' ', 'j', 'p', 'e', 'g'});
    const std::string missing = folder.File("missing.jpg");
    Preloader preloads;
    preloads.Want({missing, text, folder.Path()});
    preloads.WaitIdle(); // must not hang on what cannot be read
    EXPECT_EQ(preloads.Take(text, fixtures::ReadFile(text)), nullptr);
    EXPECT_EQ(preloads.Take(missing, std::vector<unsigned char>{}), nullptr);
}

TEST_F(PreloaderTest, StaleWorkIsCancelledAndTheNewWantIsServed) {
    fixtures::JpegSpec big;
    big.Width = 3000;
    big.Height = 2000;
    big.Progressive = true;
    big.Fill = fixtures::Pattern::Noise;
    const std::string slow = write("slow.jpg", fixtures::MakeJpeg(big));
    const std::string small = picture("small.jpg");
    Preloader preloads;
    preloads.Want({slow});
    preloads.Want({small});
    preloads.WaitIdle();
    EXPECT_EQ(preloads.Take(slow, fixtures::ReadFile(slow)), nullptr);
    EXPECT_NE(preloads.Take(small, fixtures::ReadFile(small)), nullptr);
}

TEST_F(PreloaderTest, PictureLoadUsesThePreloadAndOffersBackThePictureItReplaces) {
    const std::string a = picture("a.jpg", 1);
    const std::string b = picture("b.jpg", 2);
    Preloader preloads;
    browser::TPicture shown;
    shown.Load(a, &preloads);
    ASSERT_NE(shown.Graphic()->Pixels(), nullptr);

    preloads.Want({b});
    preloads.WaitIdle();
    shown.Load(b, &preloads);
    EXPECT_TRUE(shown.Graphic()->DecodedWell()) << "decoded before it was drawn: preloaded";
    EXPECT_EQ(fixtures::Plain(shown.Graphic()->Bytes()), fixtures::ReadFile(b));
    EXPECT_EQ(shown.LoadedName(), b);

    // Stepping back to a: the picture that left the screen is ready again.
    preloads.Want({a});
    shown.Load(a, &preloads);
    EXPECT_TRUE(shown.Graphic()->DecodedWell());
    EXPECT_EQ(fixtures::Plain(shown.Graphic()->Bytes()), fixtures::ReadFile(a));
}

TEST_F(PreloaderTest, AFileChangedBetweenPreloadAndStepIsLoadedAsItIsNow) {
    Stepping s;
    showAWithBPreloaded(s);
    const std::string &a = s.A, &b = s.B;
    Preloader& preloads = s.Preloads;
    browser::TPicture& shown = s.Shown;

    // Same length, other content: only a byte-for-byte comparison tells.
    auto changed = fixtures::ReadFile(b);
    changed[changed.size() / 2] ^= 0x55;
    write("b.jpg", changed);
    shown.Load(b, &preloads);
    EXPECT_FALSE(shown.Graphic()->Decoded()) << "the preloaded picture was not used";
    EXPECT_EQ(fixtures::Plain(shown.Graphic()->Bytes()), changed);

    // A file that vanished after its preload fails as a direct load does.
    preloads.Want({a});
    preloads.WaitIdle();
    std::remove(a.c_str());
    EXPECT_THROW(shown.Load(a, &preloads), browser::Error);
    EXPECT_EQ(fixtures::Plain(shown.Graphic()->Bytes()), changed);
}

TEST_F(PreloaderTest, AFailedLoadKeepsThePictureOnShowAndThePreloads) {
    Stepping s;
    showAWithBPreloaded(s);
    EXPECT_THROW(s.Shown.Load(folder.File("gone.jpg"), &s.Preloads), browser::Error);
    EXPECT_EQ(s.Shown.LoadedName(), s.A);
    EXPECT_NE(s.Preloads.Take(s.B, fixtures::ReadFile(s.B)), nullptr);
}

} // namespace

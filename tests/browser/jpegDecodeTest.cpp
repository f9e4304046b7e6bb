#include "error.h"
#include "jpegFixtures.h"
#include "jpegImage.h"
#include "jpegSurgery.h"
#include "pixelCompare.h"
#include "reusableMemory.h"
#include "testFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

namespace {

using fixtures::Colour;
using fixtures::JpegSpec;
using fixtures::Pattern;

TEST(JpegDecode, PixelsEqualDjpeg) {
    const struct {
        const char* Label;
        JpegSpec Spec;
    } cases[] = {
        {"baseline colour", {.Width = 64, .Height = 48, .Fill = Pattern::Noise}},
        {"baseline colour, odd size", {.Width = 45, .Height = 31, .Fill = Pattern::Noise}},
        {"progressive colour",
         {.Width = 64, .Height = 48, .Fill = Pattern::Noise, .Progressive = true}},
        {"grayscale, odd width",
         {.Width = 37, .Height = 23, .Space = Colour::Gray, .Fill = Pattern::Noise}},
        {"progressive grayscale",
         {.Width = 37,
          .Height = 23,
          .Space = Colour::Gray,
          .Fill = Pattern::Noise,
          .Progressive = true}},
        {"restart markers", {.Width = 64, .Height = 48, .Fill = Pattern::Noise, .RestartRows = 1}},
        {"4:4:4",
         {.Width = 45, .Height = 31, .Fill = Pattern::Noise, .FullResolutionChroma = true}},
        {"arithmetic coded",
         {.Width = 64, .Height = 48, .Fill = Pattern::Noise, .Arithmetic = true}},
        {"arithmetic progressive",
         {.Width = 64,
          .Height = 48,
          .Fill = Pattern::Noise,
          .Progressive = true,
          .Arithmetic = true}},
        {"CMYK", {.Width = 40, .Height = 24, .Space = Colour::Cmyk, .Fill = Pattern::Noise}},
        {"YCCK",
         {.Width = 40,
          .Height = 24,
          .Space = Colour::Cmyk,
          .Fill = Pattern::Noise,
          .CmykAsYcck = true}},
    };
    fixtures::TempDir tmp;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Label);
        const std::vector<unsigned char> bytes = fixtures::MakeJpeg(c.Spec);
        const std::string path = tmp.File("picture.jpg");
        fixtures::WriteFile(path, bytes);

        browser::TJPEGImage image(testfiles::AsFileBytes(bytes));
        EXPECT_EQ(image.Width(), c.Spec.Width);
        EXPECT_EQ(image.Height(), c.Spec.Height);
        EXPECT_EQ(image.Grayscale(), c.Spec.Space == Colour::Gray);
        EXPECT_EQ(image.MultipleScans(), c.Spec.Progressive);
        const browser::DecodedPixels* pixels = image.Pixels();
        ASSERT_NE(pixels, nullptr);
        EXPECT_EQ(pixels->Format, c.Spec.Space == Colour::Gray ? browser::PixelFormat::Gray8
                                                               : browser::PixelFormat::Rgb32);
        EXPECT_TRUE(pixels::SameAsDjpeg(*pixels, fixtures::DjpegDecode(path)));
    }
}

// Known inks in large flat patches: the colours a user expects, whichever
// way the file stores CMYK.
TEST(JpegDecode, CmykPatchesShowTheirColours) {
    constexpr int kPatch = 32; // whole MCUs, so no patch bleeds into another
    const struct {
        unsigned char C, M, Y, K; // stored as Adobe writes them: 255 = no ink
        int R, G, B;
    } patches[] = {
        {0, 255, 255, 255, 0, 255, 255},     // full cyan
        {255, 0, 255, 255, 255, 0, 255},     // full magenta
        {255, 255, 0, 255, 255, 255, 0},     // full yellow
        {255, 255, 255, 0, 0, 0, 0},         // full black
        {255, 255, 255, 255, 255, 255, 255}, // no ink
        {255, 255, 255, 128, 128, 128, 128}, // half black
        {128, 255, 255, 255, 128, 255, 255}, // half cyan
        {0, 0, 255, 255, 0, 0, 255},         // cyan and magenta
    };
    constexpr int kColumns = 4;
    const int rows = static_cast<int>(std::size(patches)) / kColumns;
    const int width = kColumns * kPatch, height = rows * kPatch;
    std::vector<unsigned char> samples(static_cast<size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const auto& patch = patches[(y / kPatch) * kColumns + x / kPatch];
            unsigned char* sample = &samples[(static_cast<size_t>(y) * width + x) * 4];
            sample[0] = patch.C, sample[1] = patch.M, sample[2] = patch.Y, sample[3] = patch.K;
        }

    for (bool ycck : {false, true}) {
        SCOPED_TRACE(ycck ? "YCCK" : "CMYK");
        browser::TJPEGImage image(testfiles::AsFileBytes(fixtures::EncodeJpeg(
            width, height, Colour::Cmyk, samples, {.Quality = 100, .CmykAsYcck = ycck})));
        EXPECT_FALSE(image.Grayscale());
        const browser::DecodedPixels* pixels = image.Pixels();
        ASSERT_NE(pixels, nullptr);
        ASSERT_EQ(pixels->Format, browser::PixelFormat::Rgb32);
        ASSERT_TRUE(pixels::WellLaidOut(*pixels));
        // Inside each patch, away from its edges, only the loss of a
        // quality-100 JPEG remains.
        constexpr int kTolerance = 4;
        for (size_t i = 0; i < std::size(patches); ++i) {
            const auto& patch = patches[i];
            const int left = static_cast<int>(i % kColumns) * kPatch;
            const int top = static_cast<int>(i / kColumns) * kPatch;
            int worst = 0;
            for (int y = top + 4; y < top + kPatch - 4; ++y)
                for (int x = left + 4; x < left + kPatch - 4; ++x) {
                    const pixels::Rgba got = pixels::At(*pixels, x, y);
                    ASSERT_EQ(got.A, 0xFF);
                    worst = std::max({worst, std::abs(got.R - patch.R), std::abs(got.G - patch.G),
                                      std::abs(got.B - patch.B)});
                }
            EXPECT_LE(worst, kTolerance) << "patch " << i;
        }
    }
}

// Damaged data is only a warning: the picture shows what the file holds,
// as djpeg shows it (block smoothing fills in a progressive file's missing
// detail).
TEST(JpegDecode, TruncatedFileShowsWhatItHas) {
    const struct {
        const char* Label;
        bool Progressive;
        std::size_t Scan;
    } cases[] = {
        {"baseline cut in its scan", false, 0},
        {"progressive cut in its first scan", true, 0},
        {"progressive cut in a later scan", true, 4},
    };
    fixtures::TempDir tmp;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Label);
        const std::vector<unsigned char> cut = surgery::CutInScan(
            fixtures::MakeJpeg(
                {.Width = 96, .Height = 96, .Fill = Pattern::Noise, .Progressive = c.Progressive}),
            c.Scan, 0.6);
        const std::string path = tmp.File("cut.jpg");
        fixtures::WriteFile(path, cut);

        browser::TJPEGImage image(testfiles::AsFileBytes(cut));
        const browser::DecodedPixels* pixels = nullptr;
        ASSERT_NO_THROW(pixels = image.Pixels());
        ASSERT_NE(pixels, nullptr);
        EXPECT_TRUE(pixels::SameAsDjpeg(*pixels, fixtures::DjpegDecodeDamaged(path)));
    }
}

// A multi-scan decode gets memory an earlier one used: where the file stops,
// the coefficients are zero, not the earlier picture's.
TEST(JpegDecode, ReusedCoefficientMemoryKeepsNothingOfTheEarlierPicture) {
    const JpegSpec spec{.Width = 96, .Height = 96, .Fill = Pattern::Noise, .Progressive = true};
    browser::TJPEGImage earlier(testfiles::AsFileBytes(fixtures::MakeJpeg(spec)));
    ASSERT_NE(earlier.Pixels(), nullptr);
    // 12x12 luma blocks and two 6x6 chroma, 128 bytes each.
    EXPECT_GE(browser::CoefficientArrayMemory().SpareCapacity(), (144u + 72u) * 128u)
        << "the coefficient memory was not kept for the next picture";

    JpegSpec other = spec;
    other.Seed = spec.Seed + 1;
    fixtures::TempDir tmp;
    const std::string path = tmp.File("cut.jpg");
    const std::vector<unsigned char> cut = surgery::CutInScan(fixtures::MakeJpeg(other), 0, 0.3);
    fixtures::WriteFile(path, cut);
    browser::TJPEGImage later(testfiles::AsFileBytes(cut));
    const browser::DecodedPixels* pixels = nullptr;
    ASSERT_NO_THROW(pixels = later.Pixels());
    ASSERT_NE(pixels, nullptr);
    EXPECT_TRUE(pixels::SameAsDjpeg(*pixels, fixtures::DjpegDecodeDamaged(path)));
}

// Coefficients are kept beside fewer than three frames only: with three in
// use they would add to the peak the frames set.
TEST(JpegDecode, KeptCoefficientMemoryMakesWayForAThirdFrame) {
    const JpegSpec progressive{.Width = 64, .Height = 64, .Progressive = true};
    auto decoded = [](const JpegSpec& spec) {
        auto image =
            std::make_unique<browser::TJPEGImage>(testfiles::AsFileBytes(fixtures::MakeJpeg(spec)));
        EXPECT_NE(image->Pixels(), nullptr);
        return image;
    };
    browser::FrameMemory().DropSpare();
    auto first = decoded(progressive);
    EXPECT_GT(browser::CoefficientArrayMemory().SpareCapacity(), 0u);
    auto second = decoded({.Width = 64, .Height = 64});
    EXPECT_GT(browser::CoefficientArrayMemory().SpareCapacity(), 0u) << "two frames leave room";
    auto third = decoded({.Width = 64, .Height = 64});
    EXPECT_EQ(browser::CoefficientArrayMemory().SpareCapacity(), 0u);
    auto fourth = decoded(progressive); // with three frames in use: not kept
    EXPECT_EQ(browser::CoefficientArrayMemory().SpareCapacity(), 0u);
}

// Files whose header reads well but whose data is fatal to libjpeg.
TEST(JpegDecode, FatalErrorThrowsOnceThenNoPixels) {
    std::vector<unsigned char> badProgression = fixtures::MakeJpeg({.Progressive = true});
    surgery::SetScanSpectralEnd(badProgression, 1, 70); // past the 64 coefficients
    std::vector<unsigned char> missingTable = fixtures::MakeJpeg({});
    surgery::SetScanTables(missingTable, 0, 0, 0x33); // tables 3 are never defined

    const struct {
        const char* Label;
        std::vector<unsigned char> Bytes;
        int Code;
    } cases[] = {
        {"invalid progression parameter", badProgression, JERR_BAD_PROGRESSION},
        {"undefined Huffman table", missingTable, JERR_NO_HUFF_TABLE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Label);
        std::unique_ptr<browser::TJPEGImage> image;
        ASSERT_NO_THROW(image =
                            std::make_unique<browser::TJPEGImage>(testfiles::AsFileBytes(c.Bytes)));
        try {
            image->Pixels();
            ADD_FAILURE() << "decoded without error";
        } catch (const browser::Error& error) {
            EXPECT_EQ(std::string(error.what()), "JPEG error #" + std::to_string(c.Code));
        }
        const browser::DecodedPixels* again = nullptr;
        EXPECT_NO_THROW(again = image->Pixels());
        EXPECT_EQ(again, nullptr);
        EXPECT_NO_THROW(again = image->Pixels());
        EXPECT_EQ(again, nullptr);
    }
}

TEST(JpegDecode, PixelsAreDecodedOnceAndKept) {
    browser::TJPEGImage image(testfiles::AsFileBytes(fixtures::MakeJpeg({.Fill = Pattern::Noise})));
    const browser::DecodedPixels* first = image.Pixels();
    ASSERT_NE(first, nullptr);
    // Mark the kept pixels: a second decode would overwrite the mark.
    auto* row = const_cast<unsigned char*>(first->Row(0));
    const unsigned char mark[4] = {0x12, 0x34, 0x56, 0x78};
    std::copy(std::begin(mark), std::end(mark), row);
    const browser::DecodedPixels* second = image.Pixels();
    EXPECT_EQ(second, first);
    EXPECT_TRUE(std::equal(std::begin(mark), std::end(mark), second->Row(0)));
}

} // namespace

#include "error.h"
#include "fileServices.h"
#include "jpegFixtures.h"
#include "jpegSurgery.h"
#include "picture.h"
#include "testFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

namespace {

using fixtures::JpegSpec;
using fixtures::Pattern;

// Hostile files must be refused quickly; the bound is generous so a loaded
// machine does not fail it, yet far below what decoding them would take.
constexpr std::chrono::seconds kQuickly{5};

std::vector<unsigned char> claimingSize(const JpegSpec& spec, int width, int height) {
    std::vector<unsigned char> bytes = fixtures::MakeJpeg(spec);
    surgery::SetFrameSize(bytes, width, height);
    return bytes;
}

// Loads the file and draws it; returns the first error, empty for none.
std::string loadAndDraw(const std::string& path) {
    browser::TPicture picture;
    try {
        picture.Load(path);
        picture.Graphic()->Pixels();
    } catch (const browser::Error& error) {
        return error.what();
    }
    return {};
}

TEST(HostileJpeg, RefusedQuickly) {
    fixtures::TempDir tmp;
    const std::string tooBig = "JPEG error #" + std::to_string(JERR_IMAGE_TOO_BIG);
    const JpegSpec progressive{.Progressive = true};

    const struct {
        const char* Label;
        std::function<void(const std::string&)> Make;
        std::string Message;
    } cases[] = {
        {"header-only progressive 65000x65000",
         [&](auto& p) {
             fixtures::WriteFile(p, surgery::HeaderOnly(claimingSize(progressive, 65000, 65000)));
         },
         tooBig},
        {"truncated baseline 65000x65000",
         [](auto& p) {
             fixtures::WriteFile(p, surgery::CutInScan(claimingSize({}, 65000, 65000), 0, 0.5));
         },
         tooBig},
        // Allowed pixels, but 4 full-resolution components hold 8 bytes of
        // coefficients per pixel: more than the decoder may use.
        {"header-only progressive CMYK 11585x11585",
         [](auto& p) {
             fixtures::WriteFile(
                 p, surgery::HeaderOnly(claimingSize(
                        {.Space = fixtures::Colour::Cmyk, .Progressive = true}, 11585, 11585)));
         },
         "JPEG error #" + std::to_string(JERR_NO_BACKING_STORE)},
        {"3 GiB file", [](auto& p) { testfiles::MakeSparseFile(p, 3LL << 30); },
         "Cannot open file \"" + tmp.File("hostile.jpg") + "\". File too large"},
        {"progressive file with 10,000 scans",
         [&](auto& p) {
             fixtures::WriteFile(p, surgery::RepeatLastScan(fixtures::MakeJpeg(progressive), 9990));
         },
         "JPEG image has too many scans (more than 100)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Label);
        const std::string path = tmp.File("hostile.jpg");
        std::remove(path.c_str());
        c.Make(path);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(loadAndDraw(path), c.Message);
        EXPECT_LT(std::chrono::steady_clock::now() - start, kQuickly);
    }
}

// Where the limits lie: the largest accepted and the smallest refused.
TEST(HostileJpeg, LimitsAreExact) {
    // libjpeg's own simple progression writes 10 scans for colour.
    const std::vector<unsigned char> normal =
        fixtures::MakeJpeg({.Fill = Pattern::Noise, .Progressive = true});
    ASSERT_EQ(surgery::Scans(normal).size(), 10u);
    const int normalScans = 10;

    const struct {
        const char* Label;
        std::vector<unsigned char> Bytes;
        std::string Message; // empty: decodes
    } cases[] = {
        {"10 scans", normal, ""},
        {"100 scans", surgery::RepeatLastScan(normal, browser::kMaxScans - normalScans), ""},
        {"101 scans", surgery::RepeatLastScan(normal, browser::kMaxScans + 1 - normalScans),
         "JPEG image has too many scans (more than 100)"},
        // 11585^2 is just below 2^27 pixels, 11586^2 just above.
        {"11586x11586", surgery::HeaderOnly(claimingSize({.Progressive = true}, 11586, 11586)),
         "JPEG error #" + std::to_string(JERR_IMAGE_TOO_BIG)},
        {"65000x1", claimingSize({}, 65000, 1), ""},
    };
    ASSERT_EQ(surgery::Scans(cases[1].Bytes).size(), 100u);
    ASSERT_EQ(surgery::Scans(cases[2].Bytes).size(), 101u);
    fixtures::TempDir tmp;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Label);
        const std::string path = tmp.File("limit.jpg");
        fixtures::WriteFile(path, c.Bytes);
        EXPECT_EQ(loadAndDraw(path), c.Message);
    }

    // The largest picture allowed is read, though not drawn here: its
    // decode would take half a gigabyte.
    browser::TPicture picture;
    fixtures::WriteFile(tmp.File("largest.jpg"),
                        surgery::HeaderOnly(claimingSize({.Progressive = true}, 11585, 11585)));
    ASSERT_NO_THROW(picture.Load(tmp.File("largest.jpg")));
    EXPECT_EQ(picture.Graphic()->Width(), 11585);
}

} // namespace

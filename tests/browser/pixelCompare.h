#pragma once

#include "jpegFixtures.h"
#include "pixelBuffer.h"

#include <gtest/gtest.h>

namespace pixels {

struct Rgba {
    int R = 0, G = 0, B = 0, A = 0;
};

// One pixel of an Rgb32 picture, read as the 0xAARRGGBB native word it is.
Rgba At(const browser::DecodedPixels& picture, int x, int y);

// The layout the window relies on: rows on 4-byte boundaries, wide enough for
// a row of the format.
testing::AssertionResult WellLaidOut(const browser::DecodedPixels& picture);

// Every sample equal to djpeg's and every alpha 0xFF; row padding is not
// looked at.
testing::AssertionResult SameAsDjpeg(const browser::DecodedPixels& picture,
                                     const fixtures::Pnm& expected);

// The same for the first `rows` rows only.
testing::AssertionResult SameRowsAsDjpeg(const browser::DecodedPixels& picture,
                                         const fixtures::Pnm& expected, int rows);

} // namespace pixels

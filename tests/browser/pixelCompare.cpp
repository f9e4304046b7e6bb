#include "pixelCompare.h"

#include <cstdint>
#include <cstring>

namespace pixels {

Rgba At(const browser::DecodedPixels& picture, int x, int y) {
    std::uint32_t word = 0;
    std::memcpy(&word, picture.Row(y) + 4 * static_cast<std::size_t>(x), 4);
    return {static_cast<int>((word >> 16) & 0xFF), static_cast<int>((word >> 8) & 0xFF),
            static_cast<int>(word & 0xFF), static_cast<int>(word >> 24)};
}

testing::AssertionResult WellLaidOut(const browser::DecodedPixels& picture) {
    const std::size_t bytesPerPixel = picture.Format == browser::PixelFormat::Rgb32 ? 4 : 1;
    if (picture.Stride % 4 != 0)
        return testing::AssertionFailure() << "stride " << picture.Stride << " not 4-aligned";
    if (picture.Stride < bytesPerPixel * static_cast<std::size_t>(picture.Width))
        return testing::AssertionFailure() << "stride " << picture.Stride << " shorter than a row";
    if (picture.Buffer.Data() == nullptr && picture.Height > 0)
        return testing::AssertionFailure() << "no pixel storage";
    return testing::AssertionSuccess();
}

testing::AssertionResult SameRowsAsDjpeg(const browser::DecodedPixels& picture,
                                         const fixtures::Pnm& expected, int rows) {
    if (picture.Width != expected.Width || picture.Height != expected.Height)
        return testing::AssertionFailure()
               << "size " << picture.Width << "x" << picture.Height << ", djpeg " << expected.Width
               << "x" << expected.Height;
    const bool gray = picture.Format == browser::PixelFormat::Gray8;
    if (gray != (expected.Components == 1))
        return testing::AssertionFailure() << "format differs from djpeg's";
    if (auto layout = WellLaidOut(picture); !layout)
        return layout;
    const std::size_t samplesPerRow =
        static_cast<std::size_t>(expected.Width) * expected.Components;
    for (int y = 0; y < rows; ++y) {
        const unsigned char* oracle =
            expected.Samples.data() + samplesPerRow * static_cast<std::size_t>(y);
        for (int x = 0; x < picture.Width; ++x) {
            if (gray) {
                if (picture.Row(y)[x] != oracle[x])
                    return testing::AssertionFailure()
                           << "gray at (" << x << "," << y << ") is " << int{picture.Row(y)[x]}
                           << ", djpeg " << int{oracle[x]};
                continue;
            }
            const Rgba got = At(picture, x, y);
            const unsigned char* want = oracle + 3 * static_cast<std::size_t>(x);
            if (got.R != want[0] || got.G != want[1] || got.B != want[2] || got.A != 0xFF)
                return testing::AssertionFailure()
                       << "pixel (" << x << "," << y << ") is ARGB " << got.A << "," << got.R << ","
                       << got.G << "," << got.B << ", djpeg RGB " << int{want[0]} << ","
                       << int{want[1]} << "," << int{want[2]};
        }
    }
    return testing::AssertionSuccess();
}

testing::AssertionResult SameAsDjpeg(const browser::DecodedPixels& picture,
                                     const fixtures::Pnm& expected) {
    if (expected.Samples.size() !=
        static_cast<std::size_t>(expected.Width) * expected.Height * expected.Components)
        return testing::AssertionFailure() << "djpeg output has the wrong length";
    return SameRowsAsDjpeg(picture, expected, expected.Height);
}

} // namespace pixels

#pragma once

#include "pixelBuffer.h"

#include <atomic>
#include <cstddef>

namespace browser {

// What the picture object learns from a JPEG header.
struct JpegHeader {
    int Width = 0;
    int Height = 0;
    bool Grayscale = false;
    bool MultipleScans = false; // progressive or otherwise several scans
};

// Limits that keep a hostile file from exhausting memory or time. A
// 100-megapixel camera picture stays well inside them.
constexpr long long kMaxPixels = 1LL << 27;
constexpr long kMaxDecoderMemory = 6L * kMaxPixels;
constexpr int kMaxScans = 100;

// Parses the header. Throws Error "JPEG error #<code>" with libjpeg's
// message code, also for a header declaring more than kMaxPixels pixels.
JpegHeader ReadJpegHeader(const unsigned char* data, std::size_t size);

// Thrown by a decode that was cancelled before it finished.
struct DecodeCancelled {};

// Decodes the whole picture at full scale with block smoothing: colour
// (including CMYK and YCCK) into Rgb32, grayscale into Gray8. Damaged data
// decodes as far as it goes; fatal errors throw Error. When `cancel` is
// given and becomes true, the decode stops soon and throws DecodeCancelled.
// `header` is what ReadJpegHeader gave for these bytes.
void DecodeJpeg(const unsigned char* data, std::size_t size, const JpegHeader& header,
                DecodedPixels& out, const std::atomic<bool>* cancel = nullptr);

} // namespace browser

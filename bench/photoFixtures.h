#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

// One picture size the benchmark measures.
struct PictureSize {
    int Width = 0;
    int Height = 0;

    long long Pixels() const { return static_cast<long long>(Width) * Height; }
    // "24 MP", or "1.5 MP" for small ones.
    std::string Label() const;
};

// The same made-up photograph written baseline and progressive.
struct PhotoFiles {
    PictureSize Size;
    std::string Baseline;
    std::string Progressive;
};

// Samples (RGB, row by row) of a made-up photograph: broad colour fields,
// texture at several scales and sensor grain. A flat or smooth picture
// decodes several times faster than a camera's, so it would flatter us.
std::vector<unsigned char> PhotoSamples(const PictureSize& size, std::uint32_t seed);

// Encodes the photograph once at quality 90 with 4:2:0 colour, as cameras
// do, and writes it baseline and progressive into the folder.
PhotoFiles WritePhoto(const std::string& folder, const PictureSize& size, std::uint32_t seed);

// The file's size in bytes; 0 when it cannot be read.
long long FileSize(const std::string& path);

} // namespace bench

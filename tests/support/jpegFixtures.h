#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace fixtures {

enum class Colour { Rgb, Gray, Cmyk };
enum class Pattern { Noise, Gradient, Flat };

struct JpegSpec {
    int Width = 64;
    int Height = 48;
    Colour Space = Colour::Rgb;
    Pattern Fill = Pattern::Gradient;
    bool Progressive = false;
    bool Arithmetic = false;
    int RestartRows = 0; // restart marker every n MCU rows; 0 for none
    int Quality = 90;
    std::uint32_t Seed = 1;
    // Samples for Pattern::Flat, one per component (stored values: CMYK as
    // Adobe writes it, 255 = no ink).
    std::vector<unsigned char> FlatSamples{};
    // Colour at full resolution in every component (4:4:4) instead of
    // libjpeg's default 4:2:0.
    bool FullResolutionChroma = false;
    // For Colour::Cmyk: store as YCCK (colour-transformed, as Photoshop
    // mostly writes CMYK) instead of plain CMYK.
    bool CmykAsYcck = false;
};

// Encodes a picture with libjpeg at run time.
std::vector<unsigned char> MakeJpeg(const JpegSpec& spec);

// Encodes the given samples (width * height * components, row by row).
std::vector<unsigned char> EncodeJpeg(int width, int height, Colour space,
                                      const std::vector<unsigned char>& samples,
                                      const JpegSpec& options);

void WriteFile(const std::string& path, const std::vector<unsigned char>& bytes);

// The names in a folder, sorted.
std::vector<std::string> Listing(const std::string& folder);
std::vector<unsigned char> ReadFile(const std::string& path);
// The bytes as a plain vector, to compare with a fixture's.
inline std::vector<unsigned char> Plain(std::span<const unsigned char> bytes) {
    return {bytes.begin(), bytes.end()};
}

// A fresh folder under the system's temporary folder, removed with all its
// contents when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Pixels of a PNM file (P5 gray or P6 RGB) as `djpeg -pnm` writes it.
struct Pnm {
    int Width = 0;
    int Height = 0;
    int Components = 0;
    std::vector<unsigned char> Samples;
};

// Runs djpeg -pnm on the file; fails the calling test when it cannot.
Pnm DjpegDecode(const std::string& jpegPath);

// The same for a damaged file: djpeg's warnings (exit status 2) are accepted,
// as the program ignores libjpeg's warnings too.
Pnm DjpegDecodeDamaged(const std::string& jpegPath);

} // namespace fixtures

#include "photoFixtures.h"

#include "jpegFixtures.h"

#include <algorithm>
#include <cstdio>
#include <sys/stat.h>

namespace bench {
namespace {

// xorshift64*: fast enough for 400 million samples, and the same pictures
// on every run.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    std::uint32_t Next() {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return static_cast<std::uint32_t>((state_ * 0x2545F4914F6CDD1Dull) >> 32);
    }
    int Between(int low, int high) {
        return low + static_cast<int>(Next() % static_cast<std::uint32_t>(high - low + 1));
    }

private:
    std::uint64_t state_;
};

// Value noise: random values on a square grid, blended bilinearly between
// grid points. One grid gives texture of one scale.
class Lattice {
public:
    Lattice(const PictureSize& size, int cell, int amplitude, Random& random)
        : cell_(cell), columns_(size.Width / cell + 2) {
        const int rows = size.Height / cell + 2;
        values_.resize(static_cast<size_t>(columns_) * rows);
        for (int& value : values_)
            value = random.Between(-amplitude, amplitude);
    }

    int At(int x, int y) const {
        const int column = x / cell_, row = y / cell_;
        const int fx = x % cell_, fy = y % cell_;
        const int* top = &values_[static_cast<size_t>(row) * columns_ + column];
        const int* bottom = top + columns_;
        const int upper = top[0] * (cell_ - fx) + top[1] * fx;
        const int lower = bottom[0] * (cell_ - fx) + bottom[1] * fx;
        return (upper * (cell_ - fy) + lower * fy) / (cell_ * cell_);
    }

private:
    int cell_;
    int columns_;
    std::vector<int> values_;
};

unsigned char clampSample(int value) {
    return static_cast<unsigned char>(std::clamp(value, 0, 255));
}

} // namespace

std::string PictureSize::Label() const {
    const double megapixels = static_cast<double>(Pixels()) / 1e6;
    char text[32];
    std::snprintf(text, sizeof text, megapixels >= 9.5 ? "%.0f MP" : "%.1f MP", megapixels);
    return text;
}

std::vector<unsigned char> PhotoSamples(const PictureSize& size, std::uint32_t seed) {
    Random random(seed);
    // Scales as in a landscape photograph: large shapes, foliage-like
    // texture, fine detail, and slowly changing colour.
    const Lattice shapes(size, 640, 70, random);
    const Lattice texture(size, 40, 40, random);
    const Lattice detail(size, 5, 44, random);
    const Lattice redShift(size, 320, 45, random);
    const Lattice blueShift(size, 320, 45, random);
    constexpr int kGrain = 20; // sensor noise, each channel on its own

    std::vector<unsigned char> samples(static_cast<size_t>(size.Pixels()) * 3);
    unsigned char* out = samples.data();
    for (int y = 0; y < size.Height; ++y) {
        const int sky = 150 - 70 * y / size.Height; // brighter towards the top
        for (int x = 0; x < size.Width; ++x) {
            const int light = sky + shapes.At(x, y) + texture.At(x, y) + detail.At(x, y);
            const int red = redShift.At(x, y), blue = blueShift.At(x, y);
            const std::uint32_t grain = random.Next();
            const auto noise = [&grain](int shift) {
                return static_cast<int>((grain >> shift) & 0xFF) % (2 * kGrain + 1) - kGrain;
            };
            *out++ = clampSample(light + red + noise(0));
            *out++ = clampSample(light - (red + blue) / 3 + noise(8));
            *out++ = clampSample(light + blue + noise(16));
        }
    }
    return samples;
}

PhotoFiles WritePhoto(const std::string& folder, const PictureSize& size, std::uint32_t seed) {
    const std::vector<unsigned char> samples = PhotoSamples(size, seed);
    fixtures::JpegSpec options;
    options.Width = size.Width;
    options.Height = size.Height;
    options.Quality = 90; // libjpeg's default sampling is 4:2:0

    PhotoFiles files;
    files.Size = size;
    const std::string stem =
        folder + "/photo-" + std::to_string(size.Width) + "x" + std::to_string(size.Height);
    files.Baseline = stem + "-baseline.jpg";
    files.Progressive = stem + "-progressive.jpg";
    options.Progressive = false;
    fixtures::WriteFile(
        files.Baseline,
        fixtures::EncodeJpeg(size.Width, size.Height, fixtures::Colour::Rgb, samples, options));
    options.Progressive = true;
    fixtures::WriteFile(
        files.Progressive,
        fixtures::EncodeJpeg(size.Width, size.Height, fixtures::Colour::Rgb, samples, options));
    return files;
}

long long FileSize(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? static_cast<long long>(info.st_size) : 0;
}

} // namespace bench

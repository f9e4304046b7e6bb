#include "fuzzEntry.h"

#include "error.h"
#include "jpegCodec.h"
#include "jpegImage.h"
#include "picture.h"
#include "pixelBuffer.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <vector>

namespace fuzzentry {
namespace {

using browser::DecodedPixels;
using browser::PixelFormat;
using browser::TJPEGImage;

// Reads every byte the window would paint, so a buffer shorter than the
// picture shows up under AddressSanitizer, and checks the opaque alpha byte
// every Rgb32 pixel must carry.
std::string checkPixels(const DecodedPixels& pixels, const TJPEGImage& image) {
    if (pixels.Width != image.Width() || pixels.Height != image.Height())
        return "decoded " + std::to_string(pixels.Width) + "x" + std::to_string(pixels.Height) +
               " for a header of " + std::to_string(image.Width()) + "x" +
               std::to_string(image.Height());
    const PixelFormat expected = image.Grayscale() ? PixelFormat::Gray8 : PixelFormat::Rgb32;
    if (pixels.Format != expected)
        return "decoded pixel format does not match the header's colour space";
    if (pixels.Stride != browser::RowStride(pixels.Width, pixels.Format))
        return "decoded rows have the wrong stride";
    if (pixels.Buffer.Capacity() < pixels.Stride * static_cast<std::size_t>(pixels.Height))
        return "pixel buffer is smaller than the picture";
    unsigned sink = 0;
    for (int y = 0; y < pixels.Height; ++y) {
        const unsigned char* row = pixels.Row(y);
        if (pixels.Format == PixelFormat::Gray8) {
            for (int x = 0; x < pixels.Width; ++x)
                sink += row[x];
            continue;
        }
        for (int x = 0; x < pixels.Width; ++x) {
            std::uint32_t word = 0;
            std::memcpy(&word, row + 4 * static_cast<std::size_t>(x), 4);
            if ((word >> 24) != 0xFF)
                return "pixel " + std::to_string(x) + "," + std::to_string(y) + " is not opaque";
        }
    }
    // Keeps the gray reads from being optimised away.
    asm volatile("" : : "r"(sink));
    return {};
}

// What a preload left behind: nothing known, or whether it decoded well.
enum class Preloaded { No, Well, Badly };

Preloaded preload(TJPEGImage& image, Route route, std::string& fault) {
    if (route == Route::Draw)
        return Preloaded::No;
    if (route == Route::PreloadThenDraw) {
        if (!image.DecodeNow())
            fault = "a preload without a cancel flag reported itself cancelled";
    } else {
        const std::atomic<bool> cancel{true};
        if (!image.DecodeNow(&cancel)) {
            if (image.DecodedWell())
                fault = "a cancelled preload left a decoded picture";
            return Preloaded::No;
        }
        // It failed before it first looked at the flag: that stays.
    }
    return image.DecodedWell() ? Preloaded::Well : Preloaded::Badly;
}

Result decode(TJPEGImage& image, Route route, Result result) {
    const Preloaded preloaded = preload(image, route, result.Fault);
    if (!result.Fault.empty())
        return result;
    const DecodedPixels* pixels = nullptr;
    try {
        pixels = image.Pixels();
    } catch (const browser::Error& error) {
        result.What = Outcome::DecodeFailed;
        result.Message = error.what();
        if (result.Message.empty())
            result.Fault = "decode failed without a message";
        if (preloaded == Preloaded::Well)
            result.Fault = "drawing failed after the preload decoded well";
        // The failure is remembered: later calls neither decode again nor throw.
        try {
            if (image.Pixels() != nullptr)
                result.Fault = "a failed picture returned pixels on the next call";
        } catch (const browser::Error& again) {
            result.Fault = std::string("a failed picture threw again: ") + again.what();
        }
        return result;
    }
    if (pixels == nullptr) {
        result.Fault = "the first decode returned no pixels and no error";
        return result;
    }
    result.What = Outcome::Decoded;
    result.Fault = checkPixels(*pixels, image);
    if (preloaded == Preloaded::Badly)
        result.Fault = "drawing showed pixels after the preload failed";
    try {
        if (image.Pixels() != pixels && result.Fault.empty())
            result.Fault = "the second call did not return the kept pixels";
    } catch (const browser::Error& again) {
        result.Fault = std::string("a decoded picture threw on the next call: ") + again.what();
    }
    return result;
}

bool writeFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    std::size_t done = 0;
    while (done < size) {
        const ssize_t wrote = ::write(fd, data + done, size - done);
        if (wrote <= 0)
            break;
        done += static_cast<std::size_t>(wrote);
    }
    return ::close(fd) == 0 && done == size;
}

} // namespace

const char* OutcomeName(Outcome outcome) {
    switch (outcome) {
    case Outcome::Empty:
        return "empty";
    case Outcome::HeaderRejected:
        return "header rejected";
    case Outcome::DecodeSkipped:
        return "decode skipped";
    case Outcome::DecodeFailed:
        return "decode failed";
    case Outcome::Decoded:
        return "decoded";
    }
    return "?";
}

const char* RouteName(Route route) {
    switch (route) {
    case Route::Draw:
        return "draw";
    case Route::PreloadThenDraw:
        return "preload, then draw";
    case Route::CancelledPreloadThenDraw:
        return "cancelled preload, then draw";
    }
    return "?";
}

std::uint32_t InputHash(const std::uint8_t* data, std::size_t size) {
    // FNV-1a over the start, plus the size: cheap and stable.
    std::uint32_t hash = 2166136261u;
    for (std::size_t i = 0; i < size && i < 64; ++i)
        hash = (hash ^ data[i]) * 16777619u;
    return hash ^ static_cast<std::uint32_t>(size);
}

Result DrivePicture(const std::uint8_t* data, std::size_t size, Route route) {
    Result result;
    std::unique_ptr<TJPEGImage> image;
    try {
        image = std::make_unique<TJPEGImage>(browser::FileBytes(data, data + size));
    } catch (const browser::Error& error) {
        result.What = Outcome::HeaderRejected;
        result.Message = error.what();
        if (result.Message.empty())
            result.Fault = "header rejected without a message";
        return result;
    }
    const auto& kept = image->Bytes();
    if (kept.size() != size || !std::equal(kept.begin(), kept.end(), data))
        result.Fault = "the picture did not keep the bytes as read";
    if (size == 0) {
        if (!image->Empty() || preload(*image, route, result.Fault) == Preloaded::Well ||
            image->Pixels() != nullptr || image->Pixels() != nullptr)
            result.Fault = "an empty picture is not empty";
        return result;
    }
    result.Width = image->Width();
    result.Height = image->Height();
    const long long pixels = static_cast<long long>(result.Width) * result.Height;
    if (result.Width <= 0 || result.Height <= 0 || pixels > browser::kMaxPixels) {
        result.Fault = "header accepted a size of " + std::to_string(result.Width) + "x" +
                       std::to_string(result.Height);
        return result;
    }
    if (!result.Fault.empty())
        return result;
    if (pixels > kMaxFuzzDecodePixels) {
        result.What = Outcome::DecodeSkipped;
        return result;
    }
    return decode(*image, route, std::move(result));
}

std::string CheckFileLoad(const std::string& folder, const std::uint8_t* data, std::size_t size,
                          const Result& inMemory) {
    const std::string path = folder + "/input.jpg";
    if (!writeFile(path, data, size))
        return {};
    browser::TPicture picture;
    try {
        picture.Load(path);
    } catch (const browser::Error& error) {
        if (picture.Graphic() != nullptr)
            return "a failed load left a graphic on show";
        if (inMemory.What == Outcome::HeaderRejected && inMemory.Message == error.what())
            return {};
        return std::string("loading the file failed with \"") + error.what() +
               "\" where the bytes gave: " + OutcomeName(inMemory.What) + " " + inMemory.Message;
    }
    if (inMemory.What == Outcome::HeaderRejected)
        return "loading the file succeeded where the bytes were rejected: " + inMemory.Message;
    const TJPEGImage* graphic = picture.Graphic();
    if (graphic == nullptr)
        return "a successful load shows no graphic";
    const auto& kept = graphic->Bytes();
    if (kept.size() != size || !std::equal(kept.begin(), kept.end(), data))
        return "the loaded picture did not keep the file's bytes";
    if (graphic->Width() != inMemory.Width || graphic->Height() != inMemory.Height)
        return "the loaded picture's size differs from the bytes' header";
    if (picture.LoadedName() != path)
        return "the loaded name is not the file's name";
    return {};
}

} // namespace fuzzentry

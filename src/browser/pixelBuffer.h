#pragma once

#include <cstddef>
#include <utility>

namespace browser {

// Rgb32: one 32-bit word per pixel, 0xFFRRGGBB in native byte order (the
// layout the window paints without conversion). Gray8: one byte per pixel.
enum class PixelFormat { Rgb32, Gray8 };

// Bytes per row for a width: rows start on 4-byte boundaries.
std::size_t RowStride(int width, PixelFormat format);

// Uninitialised storage for a frame that keeps its capacity, so a decode can
// reuse the memory of an earlier one instead of touching fresh pages.
class PixelBuffer {
public:
    PixelBuffer() = default;
    ~PixelBuffer();
    PixelBuffer(PixelBuffer&& other) noexcept
        : data_(std::exchange(other.data_, nullptr)), capacity_(std::exchange(other.capacity_, 0)) {
    }
    PixelBuffer& operator=(PixelBuffer&&) = delete;

    // Returns storage for at least `bytes` bytes; earlier contents are not kept.
    // Throws std::bad_alloc.
    unsigned char* Reserve(std::size_t bytes);
    unsigned char* Data() { return data_; }
    const unsigned char* Data() const { return data_; }
    std::size_t Capacity() const { return capacity_; }

private:
    unsigned char* data_ = nullptr;
    std::size_t capacity_ = 0;
};

// A decoded picture at natural size.
struct DecodedPixels {
    int Width = 0;
    int Height = 0;
    PixelFormat Format = PixelFormat::Rgb32;
    std::size_t Stride = 0;
    PixelBuffer Buffer;

    const unsigned char* Row(int y) const {
        return Buffer.Data() + Stride * static_cast<std::size_t>(y);
    }
};

} // namespace browser

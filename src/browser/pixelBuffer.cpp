#include "pixelBuffer.h"

namespace browser {

std::size_t RowStride(int width, PixelFormat format) {
    const std::size_t bytesPerPixel = format == PixelFormat::Rgb32 ? 4 : 1;
    return (static_cast<std::size_t>(width) * bytesPerPixel + 3) & ~static_cast<std::size_t>(3);
}

unsigned char* PixelBuffer::Reserve(std::size_t bytes) {
    if (bytes > capacity_) {
        data_.reset(); // release first, so old and new never coexist
        capacity_ = 0;
        data_.reset(new unsigned char[bytes]);
        capacity_ = bytes;
    }
    return data_.get();
}

} // namespace browser

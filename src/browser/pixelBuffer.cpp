#include "pixelBuffer.h"

#include "reusableMemory.h"

namespace browser {

std::size_t RowStride(int width, PixelFormat format) {
    const std::size_t bytesPerPixel = format == PixelFormat::Rgb32 ? 4 : 1;
    return (static_cast<std::size_t>(width) * bytesPerPixel + 3) & ~static_cast<std::size_t>(3);
}

PixelBuffer::~PixelBuffer() {
    FrameMemory().Release(data_);
}

unsigned char* PixelBuffer::Reserve(std::size_t bytes) {
    if (bytes > capacity_) {
        // Given back first, so old and new never coexist: the pool grows the
        // same pages when it keeps them.
        FrameMemory().Release(std::exchange(data_, nullptr));
        capacity_ = 0;
        data_ = FrameMemory().Acquire(bytes, capacity_);
    }
    return data_;
}

} // namespace browser

#include "pixelBuffer.h"

#include <atomic>
#include <mutex>
#include <utility>

namespace browser {
namespace {

// Frames in use: the picture on show and its two neighbours.
constexpr int kFramesInUse = 3;
std::atomic<int> liveFrames{0};

// One frame's memory is held back when a picture is dropped, for the next
// decode to reuse: fresh pages cost more to touch than a decode takes, and
// pictures in one folder are mostly of one size. One is enough, because a
// picture is dropped before its successor is decoded; and it is kept only
// while fewer frames are in use, so the spare never adds to their peak.
class SpareFrame {
public:
    std::pair<std::unique_ptr<unsigned char[]>, std::size_t> Take(std::size_t bytes) {
        std::lock_guard lock(mutex_);
        if (capacity_ < bytes) {
            data_.reset(); // too small: free it before the caller allocates anew
            capacity_ = 0;
            return {};
        }
        return {std::move(data_), std::exchange(capacity_, 0)};
    }

    void Give(std::unique_ptr<unsigned char[]> data, std::size_t capacity) {
        std::lock_guard lock(mutex_);
        if (capacity > capacity_ && liveFrames.load() < kFramesInUse) {
            data_ = std::move(data);
            capacity_ = capacity;
        }
        // Otherwise `data` is freed as the call returns, after the lock.
    }

private:
    std::mutex mutex_;
    std::unique_ptr<unsigned char[]> data_;
    std::size_t capacity_ = 0;
};

SpareFrame& spareFrame() {
    // Never destroyed: buffers may go after static destructors have run.
    static SpareFrame* const spare = new SpareFrame;
    return *spare;
}

} // namespace

std::size_t RowStride(int width, PixelFormat format) {
    const std::size_t bytesPerPixel = format == PixelFormat::Rgb32 ? 4 : 1;
    return (static_cast<std::size_t>(width) * bytesPerPixel + 3) & ~static_cast<std::size_t>(3);
}

PixelBuffer::~PixelBuffer() {
    if (data_) {
        liveFrames.fetch_sub(1);
        spareFrame().Give(std::move(data_), capacity_);
    }
}

unsigned char* PixelBuffer::Reserve(std::size_t bytes) {
    if (bytes > capacity_) {
        if (data_)
            liveFrames.fetch_sub(1);
        data_.reset(); // release first, so old and new never coexist
        capacity_ = 0;
        auto [spare, capacity] = spareFrame().Take(bytes);
        if (spare) {
            data_ = std::move(spare);
            capacity_ = capacity;
        } else {
            data_.reset(new unsigned char[bytes]);
            capacity_ = bytes;
        }
        liveFrames.fetch_add(1);
    }
    return data_.get();
}

} // namespace browser

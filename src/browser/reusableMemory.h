#pragma once

#include <atomic>
#include <cstddef>
#include <mutex>

namespace browser {

// Memory for the big buffers that come and go with the pictures: decoded
// frames, file contents and libjpeg's coefficient arrays. Each buffer has a mapping of its own, so
// freeing it gives back exactly its pages and buffers of changing sizes never fragment the heap.
// One freed buffer is held back for the next: fresh pages cost more to touch than reading a file or
// decoding a picture takes. It is held only while fewer than `buffersInUse` buffers are in use, so
// it never adds to their peak, and reused only for a request of at least half its size, so one huge
// picture does not keep its memory for good.
class ReusableMemory {
public:
    // With `roomFrom`, a buffer is held back only in place of one of that
    // memory's: while it has room, and given back as soon as it fills up.
    // Memory needed only during a decode may so take the place of a frame,
    // never add to a full set of them.
    explicit ReusableMemory(int buffersInUse, ReusableMemory* roomFrom = nullptr);
    // Frees the held-back buffer; buffers still in use must not outlive it.
    ~ReusableMemory();
    ReusableMemory(const ReusableMemory&) = delete;
    ReusableMemory& operator=(const ReusableMemory&) = delete;

    // Storage for at least `bytes` bytes, uninitialised; its usable size is
    // stored in `capacity`. Throws std::bad_alloc.
    unsigned char* Acquire(std::size_t bytes, std::size_t& capacity);
    // Gives back what Acquire returned (null is ignored).
    void Release(unsigned char* data) noexcept;

    // The usable size of the buffer held back; 0 when none is.
    std::size_t SpareCapacity();
    // True while the buffers in use and the one held back are fewer than
    // `buffersInUse`.
    bool HasRoom();
    // Gives the held-back buffer back to the system.
    void DropSpare() noexcept;

private:
    // Gives the yielding memory's held-back buffer back once this one is full.
    void makeRoom() noexcept;

    std::mutex mutex_;
    unsigned char* spare_ = nullptr;
    int inUse_ = 0;
    const int buffersInUse_;
    ReusableMemory* const roomFrom_;
    std::atomic<ReusableMemory*> yielding_{nullptr}; // the one whose roomFrom_ is this
};

// Frames: the picture on show and its two neighbours.
ReusableMemory& FrameMemory();
// File contents: the same three pictures.
ReusableMemory& FileMemory();
// The coefficients of the one picture being decoded, when it has several
// scans; kept for the next only while frames leave room for it.
ReusableMemory& CoefficientArrayMemory();

} // namespace browser

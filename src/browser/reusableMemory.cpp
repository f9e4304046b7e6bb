#include "reusableMemory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <new>
#include <utility>

#if defined(__SANITIZE_ADDRESS__)
#define TOLLVANE_HEAP_BLOCKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TOLLVANE_HEAP_BLOCKS 1
#endif
#endif

namespace browser {
namespace {

// Each block starts with its size, so a block can be given back by its data
// pointer alone. The header keeps the data 64-byte aligned.
constexpr std::size_t kHeader = 64;

std::size_t& blockSize(unsigned char* block) {
    return *reinterpret_cast<std::size_t*>(block);
}
unsigned char* dataOf(unsigned char* block) {
    return block + kHeader;
}
unsigned char* blockOf(unsigned char* data) {
    return data - kHeader;
}
std::size_t capacityOf(unsigned char* block) {
    return blockSize(block) - kHeader;
}

std::size_t roundToPages(std::size_t bytes) {
    static const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    if (bytes > SIZE_MAX - kHeader - page)
        throw std::bad_alloc();
    return (bytes + kHeader + page - 1) / page * page;
}

#ifdef TOLLVANE_HEAP_BLOCKS
// Under AddressSanitizer blocks come from the heap, so that reading past a
// buffer's end is caught there as it is anywhere else.
unsigned char* mapBlock(std::size_t size) {
    auto* block = static_cast<unsigned char*>(::operator new(size));
    blockSize(block) = size;
    return block;
}

unsigned char* growBlock(unsigned char* block, std::size_t size) {
    ::operator delete(block);
    return mapBlock(size);
}

void unmapBlock(unsigned char* block) {
    ::operator delete(block);
}
#else
unsigned char* mapBlock(std::size_t size) {
    void* mapped =
        ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        throw std::bad_alloc();
    auto* block = static_cast<unsigned char*>(mapped);
    blockSize(block) = size;
    return block;
}

// Keeps the pages already touched; only the added ones are fresh.
unsigned char* growBlock(unsigned char* block, std::size_t size) {
    void* moved = ::mremap(block, blockSize(block), size, MREMAP_MAYMOVE);
    if (moved == MAP_FAILED) {
        ::munmap(block, blockSize(block));
        return mapBlock(size);
    }
    block = static_cast<unsigned char*>(moved);
    blockSize(block) = size;
    return block;
}

void unmapBlock(unsigned char* block) {
    ::munmap(block, blockSize(block));
}
#endif

} // namespace

ReusableMemory::ReusableMemory(int buffersInUse, ReusableMemory* roomFrom)
    : buffersInUse_(buffersInUse), roomFrom_(roomFrom) {
    if (roomFrom_ != nullptr)
        roomFrom_->yielding_ = this;
}

ReusableMemory::~ReusableMemory() {
    if (roomFrom_ != nullptr)
        roomFrom_->yielding_ = nullptr;
    if (spare_ != nullptr)
        unmapBlock(spare_);
}

void ReusableMemory::makeRoom() noexcept {
    ReusableMemory* const yielding = yielding_;
    if (yielding != nullptr && !HasRoom())
        yielding->DropSpare();
}

unsigned char* ReusableMemory::Acquire(std::size_t bytes, std::size_t& capacity) {
    const std::size_t size = roundToPages(bytes);
    unsigned char* block = nullptr;
    {
        std::lock_guard lock(mutex_);
        block = std::exchange(spare_, nullptr);
        ++inUse_;
    }
    // A spare far larger than needed, left by an unusually big picture, is
    // given back rather than kept in use for small ones.
    if (block != nullptr && blockSize(block) / 2 > size) {
        unmapBlock(block);
        block = nullptr;
    }
    try {
        if (block == nullptr)
            block = mapBlock(size);
        else if (blockSize(block) < size)
            block = growBlock(block, size);
    } catch (...) {
        std::lock_guard lock(mutex_);
        --inUse_;
        throw;
    }
    makeRoom();
    capacity = capacityOf(block);
    return dataOf(block);
}

void ReusableMemory::Release(unsigned char* data) noexcept {
    if (data == nullptr)
        return;
    unsigned char* block = blockOf(data);
    const bool room = roomFrom_ == nullptr || roomFrom_->HasRoom();
    {
        std::lock_guard lock(mutex_);
        --inUse_;
        if (room && inUse_ < buffersInUse_ &&
            (spare_ == nullptr || blockSize(spare_) < blockSize(block)))
            std::swap(block, spare_);
    }
    // Unmapping a frame takes milliseconds: not while holding the lock.
    if (block != nullptr)
        unmapBlock(block);
    makeRoom();
}

std::size_t ReusableMemory::SpareCapacity() {
    std::lock_guard lock(mutex_);
    return spare_ != nullptr ? capacityOf(spare_) : 0;
}

bool ReusableMemory::HasRoom() {
    std::lock_guard lock(mutex_);
    return inUse_ + (spare_ != nullptr ? 1 : 0) < buffersInUse_;
}

void ReusableMemory::DropSpare() noexcept {
    unsigned char* block = nullptr;
    {
        std::lock_guard lock(mutex_);
        block = std::exchange(spare_, nullptr);
    }
    if (block != nullptr)
        unmapBlock(block);
}

ReusableMemory& FrameMemory() {
    // Never destroyed: buffers may go after static destructors have run.
    static ReusableMemory* const memory = new ReusableMemory(3);
    return *memory;
}

ReusableMemory& FileMemory() {
    static ReusableMemory* const memory = new ReusableMemory(3);
    return *memory;
}

ReusableMemory& CoefficientArrayMemory() {
    static ReusableMemory* const memory = new ReusableMemory(1, &FrameMemory());
    return *memory;
}

} // namespace browser

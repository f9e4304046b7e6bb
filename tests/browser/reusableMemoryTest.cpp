#include "reusableMemory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <new>

namespace {

using browser::ReusableMemory;

constexpr std::size_t kMiB = 1024 * 1024;

struct Buffer {
    unsigned char* Data = nullptr;
    std::size_t Capacity = 0;
};

Buffer acquire(ReusableMemory& memory, std::size_t bytes) {
    Buffer buffer;
    buffer.Data = memory.Acquire(bytes, buffer.Capacity);
    EXPECT_NE(buffer.Data, nullptr);
    EXPECT_GE(buffer.Capacity, bytes);
    std::memset(buffer.Data, 0xA5, buffer.Capacity); // all of it is usable
    return buffer;
}

TEST(ReusableMemory, AFreedBufferIsHeldBackAndReusedByTheNext) {
    ReusableMemory memory(3);
    EXPECT_EQ(memory.SpareCapacity(), 0u);
    const Buffer first = acquire(memory, 3 * kMiB);
    memory.Release(first.Data);
    EXPECT_EQ(memory.SpareCapacity(), first.Capacity);

    // A smaller request takes the whole spare.
    const Buffer second = acquire(memory, 2 * kMiB);
    EXPECT_EQ(second.Data, first.Data);
    EXPECT_EQ(second.Capacity, first.Capacity);
    EXPECT_EQ(memory.SpareCapacity(), 0u);

    // A larger one grows it.
    memory.Release(second.Data);
    const Buffer grown = acquire(memory, 5 * kMiB);
    EXPECT_EQ(memory.SpareCapacity(), 0u);
    memory.Release(grown.Data);
    EXPECT_EQ(memory.SpareCapacity(), grown.Capacity);
    memory.Release(nullptr);
    EXPECT_EQ(memory.SpareCapacity(), grown.Capacity);
}

TEST(ReusableMemory, ASpareMoreThanTwiceTheRequestIsGivenBack) {
    ReusableMemory memory(3);
    const Buffer huge = acquire(memory, 16 * kMiB);
    memory.Release(huge.Data);
    ASSERT_EQ(memory.SpareCapacity(), huge.Capacity);

    const Buffer small = acquire(memory, 4 * kMiB);
    EXPECT_LT(small.Capacity, 5 * kMiB) << "the huge spare was handed out";
    EXPECT_EQ(memory.SpareCapacity(), 0u);
    memory.Release(small.Data);
    EXPECT_EQ(memory.SpareCapacity(), small.Capacity);

    // Half its size or more: reused.
    const Buffer half = acquire(memory, small.Capacity / 2);
    EXPECT_EQ(half.Data, small.Data);
    memory.Release(half.Data);
}

TEST(ReusableMemory, NothingIsHeldBackWhileAllBuffersAreInUse) {
    ReusableMemory memory(2);
    const Buffer a = acquire(memory, kMiB);
    const Buffer b = acquire(memory, 2 * kMiB);
    const Buffer c = acquire(memory, kMiB);

    memory.Release(a.Data); // b and c still in use: a is given back at once
    EXPECT_EQ(memory.SpareCapacity(), 0u);
    memory.Release(c.Data); // only b in use now
    EXPECT_EQ(memory.SpareCapacity(), c.Capacity);
    memory.Release(b.Data); // the larger one is the better spare
    EXPECT_EQ(memory.SpareCapacity(), b.Capacity);

    // The held-back buffer counts as one in use once taken again.
    const Buffer d = acquire(memory, kMiB);
    const Buffer e = acquire(memory, kMiB);
    memory.Release(d.Data);
    EXPECT_EQ(memory.SpareCapacity(), d.Capacity);
    memory.Release(e.Data);
    EXPECT_EQ(memory.SpareCapacity(), d.Capacity);
}

TEST(ReusableMemory, ABufferIsHeldBackOnlyInPlaceOfOneOfTheOtherMemory) {
    ReusableMemory frames(2);
    ReusableMemory scratch(1, &frames);
    const Buffer first = acquire(frames, kMiB);
    const Buffer second = acquire(frames, kMiB);

    const Buffer full = acquire(scratch, kMiB);
    scratch.Release(full.Data); // both frames in use
    EXPECT_EQ(scratch.SpareCapacity(), 0u);

    frames.Release(second.Data); // held back as the frames' spare: still full
    EXPECT_FALSE(frames.HasRoom());
    const Buffer besideSpare = acquire(scratch, kMiB);
    scratch.Release(besideSpare.Data);
    EXPECT_EQ(scratch.SpareCapacity(), 0u);

    frames.DropSpare();
    EXPECT_TRUE(frames.HasRoom());
    const Buffer roomy = acquire(scratch, kMiB);
    scratch.Release(roomy.Data);
    EXPECT_EQ(scratch.SpareCapacity(), roomy.Capacity);
    frames.Release(first.Data);
}

TEST(ReusableMemory, AnImpossibleRequestThrowsAndCountsNothing) {
    ReusableMemory memory(1);
    std::size_t capacity = 0;
    EXPECT_THROW(memory.Acquire(SIZE_MAX - 10, capacity), std::bad_alloc);
#if !defined(__SANITIZE_ADDRESS__)
    // More than the address space: the system refuses the mapping.
    EXPECT_THROW(memory.Acquire(std::size_t{1} << 50, capacity), std::bad_alloc);
#endif
    // Had the failures been counted as in use, this one would not be kept.
    const Buffer buffer = acquire(memory, kMiB);
    memory.Release(buffer.Data);
    EXPECT_EQ(memory.SpareCapacity(), buffer.Capacity);
}

} // namespace

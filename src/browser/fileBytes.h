#pragma once

#include "reusableMemory.h"

#include <cstddef>
#include <new>
#include <utility>
#include <vector>

namespace browser {

// Places a file's contents in FileMemory: files of changing sizes, read one
// after another, then neither fragment the heap nor touch fresh pages.
// Elements are left uninitialised until written: a file is read over them.
template <class T> class FileAllocator {
public:
    using value_type = T;

    FileAllocator() = default;
    template <class U> FileAllocator(const FileAllocator<U>&) noexcept {}

    T* allocate(std::size_t count) {
        if (count > SIZE_MAX / sizeof(T))
            throw std::bad_alloc();
        std::size_t capacity = 0;
        return reinterpret_cast<T*>(FileMemory().Acquire(count * sizeof(T), capacity));
    }
    void deallocate(T* data, std::size_t) noexcept {
        FileMemory().Release(reinterpret_cast<unsigned char*>(data));
    }

    template <class U> void construct(U* place) { ::new (static_cast<void*>(place)) U; }
    template <class U, class... Arguments> void construct(U* place, Arguments&&... arguments) {
        ::new (static_cast<void*>(place)) U(std::forward<Arguments>(arguments)...);
    }

    template <class U> bool operator==(const FileAllocator<U>&) const noexcept { return true; }
};

// A file's contents as read.
using FileBytes = std::vector<unsigned char, FileAllocator<unsigned char>>;

} // namespace browser

#pragma once

#include <cstdint>
#include <string>

namespace browser {

// One directory entry found by the picture search. The size is the full
// 64-bit size, so pictures of 2 GiB and more report their true size.
struct TSearchRec {
    // A search that lists names only leaves the size to be read later.
    static constexpr std::int64_t kSizeNotRead = -1;

    std::string Name; // bytes as the file system stores them, no directory part
    std::int64_t Size = 0;
};

} // namespace browser

#include "memoryPolicy.h"

#include <malloc.h>

namespace browser {

void KeepFreedMemoryForReuse() {
    // Large blocks come from the heap rather than from their own mappings,
    // and the heap is not trimmed below a size that holds a few frames.
    mallopt(M_MMAP_MAX, 0);
    mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);
}

} // namespace browser

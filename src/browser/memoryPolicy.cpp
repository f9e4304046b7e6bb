#include "memoryPolicy.h"

#include <malloc.h>

namespace browser {

void KeepFreedMemoryForReuse() {
    // Frames and file contents live in ReusableMemory. What is left on the
    // heap is mostly libjpeg's working memory, which each decode asks for in
    // the same sizes: blocks up to 32 MiB come from the heap, which is not
    // trimmed below 256 MiB, so their pages stay touched for the next
    // picture. One heap for both threads, so what the background decodes
    // free is what the next decode on screen reuses.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
    mallopt(M_ARENA_MAX, 1);
}

void ReturnFreeHeapPages() {
    malloc_trim(0);
}

} // namespace browser

#include "memoryPolicy.h"

#include <malloc.h>

namespace browser {

void KeepFreedMemoryForReuse() {
    // Blocks up to 32 MiB (files, most of libjpeg's buffers) come from the
    // heap, which is not trimmed below 256 MiB, so their pages stay touched
    // for the next picture. Larger blocks, the frames, get their own
    // mappings: they do not fragment the heap, and one is kept back as the
    // spare frame for the next decode. One heap for both threads, so what the
    // background decodes free is what the next decode on screen reuses.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
    mallopt(M_ARENA_MAX, 1);
}

} // namespace browser

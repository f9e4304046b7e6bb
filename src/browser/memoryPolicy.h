#pragma once

namespace browser {

// Keeps freed memory in the process for the next picture. Decoded frames and
// libjpeg's coefficient buffers are tens of megabytes; returned to the system
// on free, each new picture would pay again for touching fresh pages, which
// costs more than the decode itself. Call once at start.
void KeepFreedMemoryForReuse();

} // namespace browser

#pragma once

namespace browser {

// Keeps freed memory in the process for the next picture. Files and
// libjpeg's buffers are megabytes; returned to the system on free, each new
// picture would pay again for touching fresh pages. Call once at start.
void KeepFreedMemoryForReuse();

} // namespace browser

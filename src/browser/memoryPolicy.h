#pragma once

namespace browser {

// Keeps freed heap memory in the process for the next picture. libjpeg's
// buffers are megabytes; returned to the system on free, each new picture
// would pay again for touching fresh pages. Call once at start.
void KeepFreedMemoryForReuse();

// Gives the pages of free heap memory back to the system. The background
// decodes call it before and after their work: decoders' buffers and what the
// window allocates meanwhile interleave on the heap, and the holes they leave
// would otherwise stay resident beside the next decode's buffers.
void ReturnFreeHeapPages();

} // namespace browser

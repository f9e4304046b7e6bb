#pragma once

#include <cstdio>

#include <jpeglib.h>

namespace browser {

struct CoefficientArray;

// What a decompressor needs to keep its whole-image coefficient arrays in
// memory reused from one picture to the next. Plain data, so it can live in
// the decode function that libjpeg may leave by longjmp.
struct CoefficientMemory {
    // libjpeg's own memory manager methods, called for everything else.
    void (*freePool)(j_common_ptr, int);
    void (*selfDestruct)(j_common_ptr);
    void (*realizeVirtArrays)(j_common_ptr);
    CoefficientArray* arrays; // requested for this picture, in its image pool
    unsigned char* block;     // the memory behind all of them, once realized
};

// Progressive and other multi-scan pictures hold every coefficient of the
// picture while they decode: 70 MiB for 24 MP. libjpeg allocates those
// arrays afresh for each picture, and touching fresh pages costs a third of
// such a decode; these arrays instead come from CoefficientArrayMemory, kept
// for the next picture. Call right after jpeg_create_decompress, with
// `memory` living as long as the decompressor. The memory goes back when the
// image is finished or the decompressor destroyed. Errors leave through
// libjpeg's error_exit, as libjpeg's own would: "Backing store not supported"
// when the arrays exceed max_memory_to_use, "Insufficient memory" when the
// system refuses.
void UseReusableCoefficientMemory(j_decompress_ptr cinfo, CoefficientMemory* memory);

} // namespace browser

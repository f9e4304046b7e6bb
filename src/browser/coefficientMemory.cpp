#include "coefficientMemory.h"

#include "reusableMemory.h"

#include <cstdint>
#include <cstring>

#include <jerror.h>

// The arrays mirror libjpeg's own in-memory virtual arrays (jmemmgr.c):
// rows are pre-zeroed as they are first reached, a reader may not look at
// rows never written unless they are pre-zeroed, and a writer may not skip
// rows. Only where the memory comes from differs.

namespace browser {

struct CoefficientArray {
    JBLOCKARRAY rows;
    JDIMENSION rowCount;
    JDIMENSION blocksPerRow;
    JDIMENSION maxAccess;
    JDIMENSION firstUndefinedRow;
    boolean preZero;
    CoefficientArray* next;
};

namespace {

CoefficientMemory* stateOf(j_common_ptr cinfo) {
    return static_cast<CoefficientMemory*>(cinfo->client_data);
}

// Returns null instead of throwing: the callers are inside libjpeg's frames.
unsigned char* acquire(std::size_t bytes) noexcept {
    try {
        std::size_t capacity = 0;
        return CoefficientArrayMemory().Acquire(bytes, capacity);
    } catch (...) {
        return nullptr;
    }
}

void release(CoefficientMemory* memory) {
    memory->arrays = nullptr; // they live in the image pool, freed with it
    CoefficientArrayMemory().Release(memory->block);
    memory->block = nullptr;
}

jvirt_barray_ptr requestArray(j_common_ptr cinfo, int poolId, boolean preZero,
                              JDIMENSION blocksPerRow, JDIMENSION rowCount, JDIMENSION maxAccess) {
    CoefficientMemory* memory = stateOf(cinfo);
    if (poolId != JPOOL_IMAGE)
        ERREXIT1(cinfo, JERR_BAD_POOL_ID, poolId);
    if (memory->block != nullptr)
        ERREXIT(cinfo, JERR_BAD_STATE); // requested after the arrays were realized
    auto* array = static_cast<CoefficientArray*>(
        (*cinfo->mem->alloc_small)(cinfo, poolId, sizeof(CoefficientArray)));
    *array =
        CoefficientArray{nullptr, rowCount, blocksPerRow, maxAccess, 0, preZero, memory->arrays};
    memory->arrays = array;
    return reinterpret_cast<jvirt_barray_ptr>(array);
}

std::size_t arrayBytes(const CoefficientArray* array) {
    return static_cast<std::size_t>(array->rowCount) * array->blocksPerRow * sizeof(JBLOCK);
}

void realizeArrays(j_common_ptr cinfo) {
    CoefficientMemory* memory = stateOf(cinfo);
    (*memory->realizeVirtArrays)(cinfo); // any sample arrays are libjpeg's
    if (memory->arrays == nullptr || memory->block != nullptr)
        return;
    std::size_t total = 0;
    for (const CoefficientArray* array = memory->arrays; array; array = array->next) {
        if (array->blocksPerRow != 0 &&
            array->rowCount > SIZE_MAX / sizeof(JBLOCK) / array->blocksPerRow)
            ERREXIT(cinfo, JERR_NO_BACKING_STORE);
        const std::size_t bytes = arrayBytes(array);
        if (bytes > SIZE_MAX - total)
            ERREXIT(cinfo, JERR_NO_BACKING_STORE);
        total += bytes;
    }
    // libjpeg would need a backing store for more, which it does not have.
    if (cinfo->mem->max_memory_to_use > 0 &&
        total > static_cast<std::size_t>(cinfo->mem->max_memory_to_use))
        ERREXIT(cinfo, JERR_NO_BACKING_STORE);
    memory->block = acquire(total);
    if (memory->block == nullptr)
        ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 5);

    unsigned char* next = memory->block;
    for (CoefficientArray* array = memory->arrays; array; array = array->next) {
        array->rows = static_cast<JBLOCKARRAY>((*cinfo->mem->alloc_small)(
            cinfo, JPOOL_IMAGE, (array->rowCount + 1) * sizeof(JBLOCKROW)));
        for (JDIMENSION row = 0; row < array->rowCount; ++row) {
            array->rows[row] = reinterpret_cast<JBLOCKROW>(next);
            next += static_cast<std::size_t>(array->blocksPerRow) * sizeof(JBLOCK);
        }
    }
}

JBLOCKARRAY accessArray(j_common_ptr cinfo, jvirt_barray_ptr handle, JDIMENSION startRow,
                        JDIMENSION rowCount, boolean writable) {
    auto* array = reinterpret_cast<CoefficientArray*>(handle);
    const JDIMENSION endRow = startRow + rowCount;
    if (array->rows == nullptr || endRow > array->rowCount || endRow < startRow ||
        rowCount > array->maxAccess)
        ERREXIT(cinfo, JERR_BAD_VIRTUAL_ACCESS);
    if (array->firstUndefinedRow < endRow) {
        JDIMENSION undefinedRow = array->firstUndefinedRow;
        if (undefinedRow < startRow) {
            if (writable) // a writer skipped rows
                ERREXIT(cinfo, JERR_BAD_VIRTUAL_ACCESS);
            undefinedRow = startRow; // a reader may read ahead
        }
        if (writable)
            array->firstUndefinedRow = endRow;
        if (array->preZero) {
            // The memory held the coefficients of an earlier picture.
            const std::size_t rowBytes =
                static_cast<std::size_t>(array->blocksPerRow) * sizeof(JBLOCK);
            for (JDIMENSION row = undefinedRow; row < endRow; ++row)
                std::memset(array->rows[row], 0, rowBytes);
        } else if (!writable) {
            ERREXIT(cinfo, JERR_BAD_VIRTUAL_ACCESS); // reading rows never written
        }
    }
    return array->rows + startRow;
}

void freePool(j_common_ptr cinfo, int poolId) {
    CoefficientMemory* memory = stateOf(cinfo);
    if (poolId == JPOOL_IMAGE)
        release(memory);
    (*memory->freePool)(cinfo, poolId);
}

void selfDestruct(j_common_ptr cinfo) {
    CoefficientMemory* memory = stateOf(cinfo);
    release(memory);
    (*memory->selfDestruct)(cinfo); // frees cinfo->mem itself
}

} // namespace

void UseReusableCoefficientMemory(j_decompress_ptr cinfo, CoefficientMemory* memory) {
    *memory = CoefficientMemory{cinfo->mem->free_pool, cinfo->mem->self_destruct,
                                cinfo->mem->realize_virt_arrays, nullptr, nullptr};
    cinfo->client_data = memory;
    cinfo->mem->request_virt_barray = requestArray;
    cinfo->mem->realize_virt_arrays = realizeArrays;
    cinfo->mem->access_virt_barray = accessArray;
    cinfo->mem->free_pool = freePool;
    cinfo->mem->self_destruct = selfDestruct;
}

} // namespace browser

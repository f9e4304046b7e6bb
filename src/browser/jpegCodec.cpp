// libjpeg reports fatal errors by calling error_exit, which must not return.
// Ours leaves with longjmp back into one small function per libjpeg session;
// those functions hold no C++ objects, so no destructor is skipped. The C++
// side turns the returned message code into an Error afterwards.

#include "jpegCodec.h"

#include "coefficientMemory.h"
#include "error.h"

#include <bit>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include <jerror.h>
#include <jpeglib.h>

namespace browser {
namespace {

constexpr int kTooManyScans = -1;
constexpr int kUnexpectedSize = -2;
constexpr int kCancelled = -3;

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    volatile int stopCode; // why the progress monitor stopped the decode
};

// Called by libjpeg once per row of output and per row of input absorbed
// from a multi-scan file.
struct DecodeMonitor {
    jpeg_progress_mgr pub;
    int maxScans;
    const std::atomic<bool>* cancel;
};

void leaveByJump(j_common_ptr cinfo) {
    auto* manager = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::longjmp(manager->jump, 1);
}

// Warnings about damaged data are ignored: the picture shows what it has.
void ignoreMessage(j_common_ptr, int) {}

void stopEarly(j_common_ptr cinfo, int code) {
    reinterpret_cast<ErrorManager*>(cinfo->err)->stopCode = code;
    cinfo->err->error_exit(cinfo);
}

void monitorDecode(j_common_ptr cinfo) {
    auto* decompress = reinterpret_cast<j_decompress_ptr>(cinfo);
    auto* monitor = reinterpret_cast<DecodeMonitor*>(cinfo->progress);
    if (decompress->input_scan_number > monitor->maxScans)
        stopEarly(cinfo, kTooManyScans);
    if (monitor->cancel != nullptr && monitor->cancel->load(std::memory_order_relaxed))
        stopEarly(cinfo, kCancelled);
}

void attachErrorManager(jpeg_decompress_struct* cinfo, ErrorManager* manager) {
    cinfo->err = jpeg_std_error(&manager->pub);
    manager->pub.error_exit = leaveByJump;
    manager->pub.emit_message = ignoreMessage;
    manager->stopCode = 0;
}

void checkPixelCount(jpeg_decompress_struct* cinfo) {
    const long long pixels = static_cast<long long>(cinfo->image_width) * cinfo->image_height;
    if (pixels > kMaxPixels)
        ERREXIT1(cinfo, JERR_IMAGE_TOO_BIG, static_cast<unsigned>(kMaxPixels));
}

int readHeader(const unsigned char* data, std::size_t size, JpegHeader* header) {
    jpeg_decompress_struct cinfo{};
    ErrorManager manager;
    attachErrorManager(&cinfo, &manager);
    if (setjmp(manager.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return manager.pub.msg_code;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    checkPixelCount(&cinfo);
    header->Width = static_cast<int>(cinfo.image_width);
    header->Height = static_cast<int>(cinfo.image_height);
    header->Grayscale = cinfo.jpeg_color_space == JCS_GRAYSCALE;
    header->MultipleScans = jpeg_has_multiple_scans(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return 0;
}

// Adobe writes CMYK inverted (0 = full ink), which makes the conversion a
// plain product with black. Works in place: four bytes in, four bytes out.
void cmykRowToRgb32(unsigned char* row, JDIMENSION width) {
    for (JDIMENSION x = 0; x < width; ++x) {
        unsigned char* pixel = row + 4 * x;
        const unsigned k = pixel[3];
        const auto scale = [k](unsigned value) {
            return static_cast<unsigned char>((value * k + 127) / 255);
        };
        const unsigned char r = scale(pixel[0]), g = scale(pixel[1]), b = scale(pixel[2]);
        const std::uint32_t word =
            0xFF000000u | (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b;
        std::memcpy(pixel, &word, 4);
    }
}

struct DecodeJob {
    const unsigned char* data;
    std::size_t size;
    unsigned char* pixels;
    std::size_t stride;
    int width;
    int height;
    bool gray;
    const std::atomic<bool>* cancel;
};

J_COLOR_SPACE outputColourSpace(const jpeg_decompress_struct& cinfo) {
    if (cinfo.jpeg_color_space == JCS_GRAYSCALE)
        return JCS_GRAYSCALE;
    if (cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK)
        return JCS_CMYK;
    return std::endian::native == std::endian::little ? JCS_EXT_BGRX : JCS_EXT_XRGB;
}

int decode(const DecodeJob* job) {
    jpeg_decompress_struct cinfo{};
    ErrorManager manager;
    DecodeMonitor monitor;
    CoefficientMemory coefficients;
    attachErrorManager(&cinfo, &manager);
    if (setjmp(manager.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return manager.stopCode != 0 ? manager.stopCode : manager.pub.msg_code;
    }
    jpeg_create_decompress(&cinfo);
    UseReusableCoefficientMemory(&cinfo, &coefficients);
    cinfo.mem->max_memory_to_use = kMaxDecoderMemory;
    monitor.pub.progress_monitor = monitorDecode;
    monitor.maxScans = kMaxScans;
    monitor.cancel = job->cancel;
    cinfo.progress = &monitor.pub;
    jpeg_mem_src(&cinfo, job->data, static_cast<unsigned long>(job->size));
    jpeg_read_header(&cinfo, TRUE);
    checkPixelCount(&cinfo);
    cinfo.out_color_space = outputColourSpace(cinfo);
    cinfo.do_block_smoothing = TRUE;
    jpeg_start_decompress(&cinfo);
    if (static_cast<int>(cinfo.output_width) != job->width ||
        static_cast<int>(cinfo.output_height) != job->height ||
        (cinfo.out_color_space == JCS_GRAYSCALE) != job->gray) {
        jpeg_destroy_decompress(&cinfo);
        return kUnexpectedSize;
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = job->pixels + job->stride * cinfo.output_scanline;
        jpeg_read_scanlines(&cinfo, &row, 1);
        if (cinfo.out_color_space == JCS_CMYK)
            cmykRowToRgb32(row, cinfo.output_width);
    }
    jpeg_destroy_decompress(&cinfo);
    return 0;
}

[[noreturn]] void throwJpegError(int code) {
    if (code == kCancelled)
        throw DecodeCancelled{};
    if (code == kTooManyScans)
        throw Error("JPEG image has too many scans (more than " + std::to_string(kMaxScans) + ")");
    if (code == kUnexpectedSize)
        throw Error("JPEG image changed its size while being decoded");
    throw Error("JPEG error #" + std::to_string(code));
}

} // namespace

JpegHeader ReadJpegHeader(const unsigned char* data, std::size_t size) {
    JpegHeader header;
    if (int code = readHeader(data, size, &header))
        throwJpegError(code);
    return header;
}

void DecodeJpeg(const unsigned char* data, std::size_t size, const JpegHeader& header,
                DecodedPixels& out, const std::atomic<bool>* cancel) {
    out.Width = header.Width;
    out.Height = header.Height;
    out.Format = header.Grayscale ? PixelFormat::Gray8 : PixelFormat::Rgb32;
    out.Stride = RowStride(header.Width, out.Format);
    unsigned char* pixels = nullptr;
    try {
        pixels = out.Buffer.Reserve(out.Stride * static_cast<std::size_t>(header.Height));
    } catch (const std::bad_alloc&) {
        throwJpegError(JERR_OUT_OF_MEMORY);
    }
    const DecodeJob job{data,         size,          pixels,           out.Stride,
                        header.Width, header.Height, header.Grayscale, cancel};
    if (int code = decode(&job))
        throwJpegError(code);
}

} // namespace browser

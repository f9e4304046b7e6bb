// Writes the fuzzer's seed corpus: small JPEGs encoded with libjpeg, one for
// each way of coding a picture the decoder has a separate path for, so the
// fuzzer starts from inputs that already reach deep into every path.
//
// Usage: makeSeeds <folder>   (writes seed-<kind>.jpg files there)

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace {

struct Seed {
    const char* Name;
    int Width;
    int Height;
    J_COLOR_SPACE Input;  // JCS_RGB, JCS_GRAYSCALE or JCS_CMYK
    J_COLOR_SPACE Stored; // colour space written to the file
    int LumaH, LumaV;     // sampling of the first component (2,2 = 4:2:0)
    bool Progressive = false;
    bool Arithmetic = false;
    unsigned RestartMcus = 0; // restart marker every n MCUs; 0 for none
    bool OptimiseHuffman = false;
    bool ExtraMarkers = false; // an Exif-like APP1 and a comment
    int Quality = 75;
};

// clang-format off
const Seed kSeeds[] = {
    {"baseline-420",      32, 24, JCS_RGB,       JCS_YCbCr,     2, 2},
    {"baseline-444",      24, 16, JCS_RGB,       JCS_YCbCr,     1, 1},
    {"baseline-422",      32, 16, JCS_RGB,       JCS_YCbCr,     2, 1},
    {"baseline-440",      16, 32, JCS_RGB,       JCS_YCbCr,     1, 2},
    {"baseline-411",      33,  8, JCS_RGB,       JCS_YCbCr,     4, 1},
    {"rgb-untransformed", 16, 16, JCS_RGB,       JCS_RGB,       1, 1},
    {"progressive-420",   32, 24, JCS_RGB,       JCS_YCbCr,     2, 2, true},
    {"progressive-444",   24, 16, JCS_RGB,       JCS_YCbCr,     1, 1, true},
    {"gray-baseline",     24, 16, JCS_GRAYSCALE, JCS_GRAYSCALE, 1, 1},
    {"gray-progressive",  24, 16, JCS_GRAYSCALE, JCS_GRAYSCALE, 1, 1, true},
    {"cmyk-adobe",        16, 16, JCS_CMYK,      JCS_CMYK,      1, 1},
    {"ycck-adobe",        16, 16, JCS_CMYK,      JCS_YCCK,      2, 2},
    {"restart-every-mcu", 32, 32, JCS_RGB,       JCS_YCbCr,     2, 2, false, false, 1},
    {"restart-gray",      32, 16, JCS_GRAYSCALE, JCS_GRAYSCALE, 1, 1, false, false, 3},
    {"restart-progressive", 32, 32, JCS_RGB,     JCS_YCbCr,     2, 2, true,  false, 2},
    {"arith-baseline",    32, 24, JCS_RGB,       JCS_YCbCr,     2, 2, false, true},
    {"arith-progressive", 32, 24, JCS_RGB,       JCS_YCbCr,     2, 2, true,  true},
    {"arith-gray-restart", 24, 16, JCS_GRAYSCALE, JCS_GRAYSCALE, 1, 1, false, true, 2},
    {"tiny-1x1",           1,  1, JCS_RGB,       JCS_YCbCr,     2, 2},
    {"tiny-1x1-gray",      1,  1, JCS_GRAYSCALE, JCS_GRAYSCALE, 1, 1},
    {"tiny-17x9",         17,  9, JCS_RGB,       JCS_YCbCr,     2, 2},
    {"tiny-17x9-progressive", 17, 9, JCS_RGB,    JCS_YCbCr,     2, 2, true},
    {"optimised-markers", 24, 16, JCS_RGB,       JCS_YCbCr,     2, 2, false, false, 0, true, true, 90},
};
// clang-format on

int componentsOf(J_COLOR_SPACE space) {
    return space == JCS_GRAYSCALE ? 1 : (space == JCS_CMYK ? 4 : 3);
}

// A gradient with some texture, so every block has AC coefficients.
std::vector<unsigned char> samplesFor(const Seed& seed) {
    const int components = componentsOf(seed.Input);
    std::vector<unsigned char> samples(static_cast<size_t>(seed.Width) * seed.Height * components);
    unsigned state = 12345;
    for (size_t i = 0; i < samples.size(); ++i) {
        const int pixel = static_cast<int>(i) / components;
        const int x = pixel % seed.Width, y = pixel / seed.Width,
                  c = static_cast<int>(i) % components;
        state = state * 1103515245u + 12345u;
        samples[i] = static_cast<unsigned char>((x * 7 + y * 5 + c * 70 + (state >> 27)) & 0xFF);
    }
    return samples;
}

void addMarkers(jpeg_compress_struct& cinfo) {
    static const unsigned char exif[] = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0,
                                         8,   0,   0,   0,   0, 0, 0,   0,   0,  0};
    jpeg_write_marker(&cinfo, JPEG_APP0 + 1, exif, sizeof exif);
    static const char comment[] = "seed";
    jpeg_write_marker(&cinfo, JPEG_COM, reinterpret_cast<const JOCTET*>(comment),
                      sizeof comment - 1);
}

std::vector<unsigned char> encode(const Seed& seed) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr error{};
    cinfo.err = jpeg_std_error(&error); // a seed that fails to encode ends the program
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(seed.Width);
    cinfo.image_height = static_cast<JDIMENSION>(seed.Height);
    cinfo.input_components = componentsOf(seed.Input);
    cinfo.in_color_space = seed.Input;
    jpeg_set_defaults(&cinfo);
    jpeg_set_colorspace(&cinfo, seed.Stored);
    jpeg_set_quality(&cinfo, seed.Quality, TRUE);
    cinfo.comp_info[0].h_samp_factor = seed.LumaH;
    cinfo.comp_info[0].v_samp_factor = seed.LumaV;
    for (int c = 1; c < cinfo.num_components; ++c) {
        // CMYK keeps its black at full resolution like the first component.
        const bool full = seed.Stored == JCS_YCCK && c == 3;
        cinfo.comp_info[c].h_samp_factor = full ? seed.LumaH : 1;
        cinfo.comp_info[c].v_samp_factor = full ? seed.LumaV : 1;
    }
    if (seed.Progressive)
        jpeg_simple_progression(&cinfo);
    cinfo.arith_code = seed.Arithmetic ? TRUE : FALSE;
    cinfo.optimize_coding = seed.OptimiseHuffman ? TRUE : FALSE;
    cinfo.restart_interval = seed.RestartMcus;
    jpeg_start_compress(&cinfo, TRUE);
    if (seed.ExtraMarkers)
        addMarkers(cinfo);
    const std::vector<unsigned char> samples = samplesFor(seed);
    const size_t stride = static_cast<size_t>(seed.Width) * cinfo.input_components;
    while (cinfo.next_scanline < cinfo.image_height) {
        auto* row = const_cast<unsigned char*>(samples.data() + stride * cinfo.next_scanline);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::vector<unsigned char> bytes(buffer, buffer + size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return bytes;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: makeSeeds <folder>\n");
        return 2;
    }
    for (const Seed& seed : kSeeds) {
        const std::vector<unsigned char> bytes = encode(seed);
        const std::string path = std::string(argv[1]) + "/seed-" + seed.Name + ".jpg";
        FILE* out = std::fopen(path.c_str(), "wb");
        if (out == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size() ||
            std::fclose(out) != 0) {
            std::fprintf(stderr, "makeSeeds: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}

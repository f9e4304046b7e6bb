#include "jpegFixtures.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <sys/wait.h>

#include <jpeglib.h>

namespace fixtures {
namespace {

int componentsOf(Colour space) {
    switch (space) {
    case Colour::Gray:
        return 1;
    case Colour::Cmyk:
        return 4;
    default:
        return 3;
    }
}

std::vector<unsigned char> fill(const JpegSpec& spec) {
    const int components = componentsOf(spec.Space);
    std::vector<unsigned char> samples(static_cast<size_t>(spec.Width) * spec.Height * components);
    std::mt19937 random(spec.Seed);
    for (int y = 0; y < spec.Height; ++y) {
        for (int x = 0; x < spec.Width; ++x) {
            for (int c = 0; c < components; ++c) {
                unsigned char value = 0;
                switch (spec.Fill) {
                case Pattern::Noise:
                    // Texture plus noise, like a photograph rather than a test card.
                    value = static_cast<unsigned char>(
                        (x * (c + 1) + y * (3 - c % 3) + static_cast<int>(random() % 48)) & 0xFF);
                    break;
                case Pattern::Gradient:
                    value =
                        static_cast<unsigned char>((x * 255 / std::max(1, spec.Width - 1) +
                                                    y * 97 / std::max(1, spec.Height) + c * 60) &
                                                   0xFF);
                    break;
                case Pattern::Flat:
                    value = spec.FlatSamples.at(static_cast<size_t>(c));
                    break;
                }
                samples[(static_cast<size_t>(y) * spec.Width + x) * components + c] = value;
            }
        }
    }
    return samples;
}

} // namespace

std::vector<unsigned char> EncodeJpeg(int width, int height, Colour space,
                                      const std::vector<unsigned char>& samples,
                                      const JpegSpec& options) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr error{};
    cinfo.err = jpeg_std_error(&error); // fixtures are well formed; libjpeg exits on misuse
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = componentsOf(space);
    cinfo.in_color_space =
        space == Colour::Gray ? JCS_GRAYSCALE : (space == Colour::Cmyk ? JCS_CMYK : JCS_RGB);
    jpeg_set_defaults(&cinfo);
    if (options.CmykAsYcck && space == Colour::Cmyk)
        jpeg_set_colorspace(&cinfo, JCS_YCCK);
    jpeg_set_quality(&cinfo, options.Quality, TRUE);
    if (options.FullResolutionChroma)
        for (int c = 0; c < cinfo.num_components; ++c)
            cinfo.comp_info[c].h_samp_factor = cinfo.comp_info[c].v_samp_factor = 1;
    if (options.Progressive)
        jpeg_simple_progression(&cinfo);
    cinfo.arith_code = options.Arithmetic ? TRUE : FALSE;
    cinfo.restart_in_rows = options.RestartRows;
    jpeg_start_compress(&cinfo, TRUE);
    const size_t stride = static_cast<size_t>(width) * cinfo.input_components;
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

std::vector<unsigned char> MakeJpeg(const JpegSpec& spec) {
    return EncodeJpeg(spec.Width, spec.Height, spec.Space, fill(spec), spec);
}

void WriteFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write fixture " + path);
}

std::vector<std::string> Listing(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<unsigned char> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tollvane-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary folder");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

namespace {

Pnm runDjpeg(const std::string& jpegPath, bool acceptWarnings) {
    // A damaged file's warnings are expected; they would only clutter the log.
    const std::string command =
        "djpeg -pnm '" + jpegPath + "'" + (acceptWarnings ? " 2>/dev/null" : "");
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        throw std::runtime_error("cannot run djpeg");
    std::vector<unsigned char> out;
    unsigned char chunk[65536];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0)
        out.insert(out.end(), chunk, chunk + got);
    const int status = ::pclose(pipe);
    const bool warned = WIFEXITED(status) && WEXITSTATUS(status) == 2;
    if (status != 0 && !(acceptWarnings && warned))
        throw std::runtime_error("djpeg failed on " + jpegPath);

    // Header: "P5|P6 <ws> width <ws> height <ws> maxval <one ws>".
    Pnm pnm;
    size_t at = 0;
    auto nextNumber = [&]() {
        while (at < out.size() && std::isspace(out[at]))
            ++at;
        int value = 0;
        while (at < out.size() && std::isdigit(out[at]))
            value = value * 10 + (out[at++] - '0');
        return value;
    };
    if (out.size() < 2 || out[0] != 'P' || (out[1] != '5' && out[1] != '6'))
        throw std::runtime_error("djpeg wrote no PNM for " + jpegPath);
    pnm.Components = out[1] == '5' ? 1 : 3;
    at = 2;
    pnm.Width = nextNumber();
    pnm.Height = nextNumber();
    nextNumber(); // maxval, always 255 for 8-bit JPEGs
    ++at;
    pnm.Samples.assign(out.begin() + static_cast<std::ptrdiff_t>(at), out.end());
    return pnm;
}

} // namespace

Pnm DjpegDecode(const std::string& jpegPath) {
    return runDjpeg(jpegPath, false);
}

Pnm DjpegDecodeDamaged(const std::string& jpegPath) {
    return runDjpeg(jpegPath, true);
}

} // namespace fixtures

// libFuzzer target: feeds each input to the picture object through the entry
// point the replay test shares, and aborts when a promise of the picture
// object breaks, so libFuzzer keeps the input as a crash.

#include "fuzzEntry.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <string>
#include <system_error>

namespace {

// Scratch folder for the occasional load through a file; empty when none
// could be made, which only skips that check.
std::string scratchFolder;

void removeScratch() {
    std::error_code ignored;
    std::filesystem::remove_all(scratchFolder, ignored);
}

[[noreturn]] void fail(const std::string& fault) {
    std::fprintf(stderr, "pictureFuzzer: %s\n", fault.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "pictureFuzzer-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) {
        scratchFolder = pattern;
        std::atexit(removeScratch);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The content picks the route, and about one input in 64 also goes
    // through a file, which costs a write and a read.
    const std::uint32_t hash = fuzzentry::InputHash(data, size);
    const fuzzentry::Route route = fuzzentry::kRoutes[hash % std::size(fuzzentry::kRoutes)];
    const fuzzentry::Result result = fuzzentry::DrivePicture(data, size, route);
    if (!result.Fault.empty())
        fail(std::string(fuzzentry::RouteName(route)) + ": " + result.Fault);
    if (!scratchFolder.empty() && (hash >> 8) % 64 == 0) {
        const std::string fault = fuzzentry::CheckFileLoad(scratchFolder, data, size, result);
        if (!fault.empty())
            fail(fault);
    }
    return 0;
}

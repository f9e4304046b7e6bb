#pragma once

// The one way arbitrary bytes are fed to the picture object, shared by the
// libFuzzer target and the corpus replay in the normal test suite, so a file
// the fuzzer found takes exactly the same path when replayed.

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzzentry {

enum class Outcome {
    Empty,          // no bytes: an empty picture, nothing to decode
    HeaderRejected, // the constructor threw browser::Error
    DecodeSkipped,  // header accepted but larger than kMaxFuzzDecodePixels
    DecodeFailed,   // Pixels() threw browser::Error
    Decoded,        // Pixels() returned a picture
};

// Pictures whose header declares more pixels than this are parsed but not
// decoded: a decode of up to kMaxPixels (512 MiB of pixels) takes seconds
// under the sanitizers and would starve the fuzzer of executions, while the
// decoder's paths are the same at 16 M pixels.
constexpr long long kMaxFuzzDecodePixels = 1LL << 20;

struct Result {
    Outcome What = Outcome::Empty;
    std::string Message; // the browser::Error text, for the two failures
    int Width = 0;       // from the header, when it was accepted
    int Height = 0;
    // A promise of the picture object that did not hold (kept bytes, sizes
    // and format of the decoded picture, remembered failure); empty when all
    // held. The fuzzer aborts on it, the replay test fails on it.
    std::string Fault;
};

// How the picture reaches the screen: drawn straight away, decoded ahead by
// the preloader first, or first given to a preload that is cancelled at once
// (which must leave the picture as it was).
enum class Route { Draw, PreloadThenDraw, CancelledPreloadThenDraw };
constexpr Route kRoutes[] = {Route::Draw, Route::PreloadThenDraw, Route::CancelledPreloadThenDraw};

// Loads the bytes as TJPEGImage does, takes the route, decodes them with
// Pixels() and calls Pixels() again. Only browser::Error is caught: anything
// else escapes. Every route gives the same Result for the same bytes.
Result DrivePicture(const std::uint8_t* data, std::size_t size, Route route);

// A hash of the input, so the fuzzer picks routes by content: the same input
// always takes the same path, as libFuzzer expects.
std::uint32_t InputHash(const std::uint8_t* data, std::size_t size);

// Writes the bytes to "<folder>/input.jpg", loads that file through
// TPicture::Load and compares with what DrivePicture reported for the same
// bytes. Returns the disagreement, or empty when both agree or the file
// could not be written.
std::string CheckFileLoad(const std::string& folder, const std::uint8_t* data, std::size_t size,
                          const Result& inMemory);

const char* OutcomeName(Outcome outcome);
const char* RouteName(Route route);

} // namespace fuzzentry

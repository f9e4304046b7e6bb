#include "damagedJpeg.h"

#include <cstddef>
#include <stdexcept>

namespace {

constexpr unsigned char kSos = 0xDA;

bool isStandalone(unsigned char marker) {
    return marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
}

// The offset of the next marker after entropy-coded data starting at `at`.
std::size_t skipScanData(const std::vector<unsigned char>& jpeg, std::size_t at) {
    while (at + 1 < jpeg.size()) {
        if (jpeg[at] == 0xFF && jpeg[at + 1] != 0x00 &&
            !(jpeg[at + 1] >= 0xD0 && jpeg[at + 1] <= 0xD7))
            return at;
        ++at;
    }
    throw std::runtime_error("scan data runs to the end of the file");
}

} // namespace

std::vector<unsigned char> WithForeignComponentInSecondScan(std::vector<unsigned char> jpeg) {
    int scans = 0;
    std::size_t at = 2; // past SOI
    while (at + 4 <= jpeg.size()) {
        if (jpeg[at] != 0xFF)
            throw std::runtime_error("lost the marker chain");
        const unsigned char marker = jpeg[at + 1];
        if (isStandalone(marker)) {
            at += 2;
            continue;
        }
        const std::size_t length = (std::size_t{jpeg[at + 2]} << 8) | jpeg[at + 3];
        if (marker == kSos && ++scans == 2) {
            // Ns at +4, then the first component selector at +5.
            jpeg[at + 5] = 0x09;
            return jpeg;
        }
        at += 2 + length;
        if (marker == kSos)
            at = skipScanData(jpeg, at);
    }
    throw std::runtime_error("the picture has fewer than two scans");
}

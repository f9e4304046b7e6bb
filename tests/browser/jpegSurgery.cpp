#include "jpegSurgery.h"

#include <stdexcept>

namespace surgery {
namespace {

constexpr unsigned char kSoi = 0xD8, kEoi = 0xD9, kSos = 0xDA, kTem = 0x01;

bool isRestart(unsigned char marker) {
    return marker >= 0xD0 && marker <= 0xD7;
}

bool isFrame(unsigned char marker) {
    // SOF0..SOF15 except DHT (C4), JPG (C8) and DAC (CC).
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

std::size_t segmentBodyLength(const std::vector<unsigned char>& jpeg, std::size_t at) {
    if (at + 4 > jpeg.size())
        throw std::runtime_error("JPEG segment runs past the end");
    return (static_cast<std::size_t>(jpeg[at + 2]) << 8) | jpeg[at + 3];
}

// End of the entropy-coded data that starts at `at`: the next marker that is
// neither a stuffed zero nor a restart marker.
std::size_t entropyEnd(const std::vector<unsigned char>& jpeg, std::size_t at) {
    while (at + 1 < jpeg.size()) {
        if (jpeg[at] == 0xFF && jpeg[at + 1] != 0x00 && jpeg[at + 1] != 0xFF &&
            !isRestart(jpeg[at + 1]))
            return at;
        ++at;
    }
    return jpeg.size();
}

} // namespace

std::vector<Segment> Segments(const std::vector<unsigned char>& jpeg) {
    if (jpeg.size() < 2 || jpeg[0] != 0xFF || jpeg[1] != kSoi)
        throw std::runtime_error("not a JPEG file");
    std::vector<Segment> segments{{0, 2, kSoi}};
    std::size_t at = 2;
    while (at + 1 < jpeg.size()) {
        if (jpeg[at] != 0xFF)
            throw std::runtime_error("JPEG marker expected");
        const unsigned char marker = jpeg[at + 1];
        Segment segment{at, 2, marker};
        if (marker == kEoi) {
            segments.push_back(segment);
            break;
        }
        if (marker != kTem && !isRestart(marker))
            segment.Length = 2 + segmentBodyLength(jpeg, at);
        if (marker == kSos)
            segment.Length = entropyEnd(jpeg, at + segment.Length) - at;
        segments.push_back(segment);
        at += segment.Length;
    }
    return segments;
}

std::vector<Segment> Scans(const std::vector<unsigned char>& jpeg) {
    std::vector<Segment> scans;
    for (const Segment& segment : Segments(jpeg))
        if (segment.Marker == kSos)
            scans.push_back(segment);
    return scans;
}

void SetFrameSize(std::vector<unsigned char>& jpeg, int width, int height) {
    for (const Segment& segment : Segments(jpeg)) {
        if (!isFrame(segment.Marker))
            continue;
        // FF Cn, length (2), precision (1), height (2), width (2).
        jpeg.at(segment.Offset + 5) = static_cast<unsigned char>(height >> 8);
        jpeg.at(segment.Offset + 6) = static_cast<unsigned char>(height & 0xFF);
        jpeg.at(segment.Offset + 7) = static_cast<unsigned char>(width >> 8);
        jpeg.at(segment.Offset + 8) = static_cast<unsigned char>(width & 0xFF);
        return;
    }
    throw std::runtime_error("JPEG file without frame header");
}

std::vector<unsigned char> HeaderOnly(const std::vector<unsigned char>& jpeg) {
    const Segment scan = Scans(jpeg).at(0);
    const std::size_t headerEnd = scan.Offset + 2 + segmentBodyLength(jpeg, scan.Offset);
    return {jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(headerEnd)};
}

std::vector<unsigned char> CutInScan(const std::vector<unsigned char>& jpeg, std::size_t index,
                                     double fraction) {
    const Segment scan = Scans(jpeg).at(index);
    const std::size_t dataStart = scan.Offset + 2 + segmentBodyLength(jpeg, scan.Offset);
    const std::size_t dataLength = scan.Offset + scan.Length - dataStart;
    const auto cut =
        dataStart + static_cast<std::size_t>(static_cast<double>(dataLength) * fraction);
    return {jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(cut)};
}

void SetScanSpectralEnd(std::vector<unsigned char>& jpeg, std::size_t scan, unsigned char se) {
    const Segment segment = Scans(jpeg).at(scan);
    // FF DA, length (2), component count Ns (1), Ns * 2 bytes, Ss, Se, Ah/Al.
    const std::size_t components = jpeg.at(segment.Offset + 4);
    jpeg.at(segment.Offset + 5 + 2 * components + 1) = se;
}

void SetScanTables(std::vector<unsigned char>& jpeg, std::size_t scan, std::size_t component,
                   unsigned char tables) {
    const Segment segment = Scans(jpeg).at(scan);
    if (component >= jpeg.at(segment.Offset + 4))
        throw std::runtime_error("the scan has no such component");
    jpeg.at(segment.Offset + 5 + 2 * component + 1) = tables;
}

std::vector<unsigned char> RepeatLastScan(const std::vector<unsigned char>& jpeg, int copies) {
    const Segment last = Scans(jpeg).back();
    const auto begin = jpeg.begin() + static_cast<std::ptrdiff_t>(last.Offset);
    const auto end = begin + static_cast<std::ptrdiff_t>(last.Length);
    std::vector<unsigned char> out(jpeg.begin(), end);
    out.reserve(jpeg.size() + last.Length * static_cast<std::size_t>(copies));
    for (int i = 0; i < copies; ++i)
        out.insert(out.end(), begin, end);
    out.insert(out.end(), end, jpeg.end());
    return out;
}

} // namespace surgery

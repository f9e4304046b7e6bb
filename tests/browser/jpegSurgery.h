#pragma once

#include <cstddef>
#include <vector>

// Byte-level edits of small, well-formed JPEG files, to build the damaged and
// hostile files a user may hand the program.
namespace surgery {

// One marker segment; for a scan (SOS) it also covers the entropy-coded data
// up to the next marker.
struct Segment {
    std::size_t Offset = 0; // of the 0xFF that starts the marker
    std::size_t Length = 0; // bytes in all, marker included
    unsigned char Marker = 0;
};

std::vector<Segment> Segments(const std::vector<unsigned char>& jpeg);

// The scan segments (SOS plus entropy-coded data), in file order.
std::vector<Segment> Scans(const std::vector<unsigned char>& jpeg);

// Rewrites the dimensions in the frame header (any SOFn).
void SetFrameSize(std::vector<unsigned char>& jpeg, int width, int height);

// Cuts the file after the header of the first scan: everything libjpeg needs
// to read the header, no picture data.
std::vector<unsigned char> HeaderOnly(const std::vector<unsigned char>& jpeg);

// Cuts the file inside the entropy-coded data of the scan with the given
// index, after the given fraction of that data; no end marker follows.
std::vector<unsigned char> CutInScan(const std::vector<unsigned char>& jpeg, std::size_t scan,
                                     double fraction);

// Sets the spectral selection end (Se) of the scan with the given index.
void SetScanSpectralEnd(std::vector<unsigned char>& jpeg, std::size_t scan, unsigned char se);

// Sets the table selector byte (DC table << 4 | AC table) of one component
// of the scan with the given index.
void SetScanTables(std::vector<unsigned char>& jpeg, std::size_t scan, std::size_t component,
                   unsigned char tables);

// Inserts `copies` copies of the last scan right behind it. Repeating a
// scan is only a warning for libjpeg, so the file stays decodable.
std::vector<unsigned char> RepeatLastScan(const std::vector<unsigned char>& jpeg, int copies);

} // namespace surgery

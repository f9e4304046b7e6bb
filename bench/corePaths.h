#pragma once

#include "photoFixtures.h"
#include "report.h"

#include <string>
#include <vector>

namespace bench {

// Listing the pictures of a crowded folder (what opening a folder does)
// against `find DIR -maxdepth 1 -iname '*.jpg'`. The folder holds `entries`
// entries of which `expected` must be listed.
Row MeasureScan(const std::string& folder, int entries, int expected, int runs);

// Reading and decoding a picture (what stepping onto a picture that was not
// preloaded does) against `djpeg -ppm -outfile /dev/null FILE`, baseline
// and progressive. Rows for the size at `goalIndex` carry the goals, the
// others are for information; `slowRuns` is used for the largest size.
std::vector<Row> MeasureDecodes(const std::vector<PhotoFiles>& photos, size_t goalIndex, int runs,
                                int slowRuns);

// Copying the picture on show into the target folder, flushed to disk,
// against `cp SRC DST && sync DST`.
Row MeasureCopy(const std::string& source, const std::string& targetFolder, int runs);

} // namespace bench

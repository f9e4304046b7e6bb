#pragma once

#include <vector>

// A copy of a multi-scan JPEG whose second scan header names a component the
// frame does not have. The header up to the first scan is intact, so the
// file loads; decoding it fails fatally once it reaches the second scan.
std::vector<unsigned char> WithForeignComponentInSecondScan(std::vector<unsigned char> jpeg);

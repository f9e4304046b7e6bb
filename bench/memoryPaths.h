#pragma once

#include "photoFixtures.h"
#include "report.h"

#include <string>

namespace bench {

// The argument that makes the benchmark run only the memory probe.
inline constexpr char kMemoryProbeArgument[] = "--memory-probe";

// The memory probe, run in a process of its own: opens the folder in the
// main window and steps through its pictures `rounds` times forward waiting
// for the preloads, once forward without waiting, and once back. Prints
// "baseline_kb N" (resident before opening the folder), the peak so far
// after each phase ("opened_kb", "forward_kb", "rapid_kb") and at the end
// "peak_kb N", one per line.
// Returns the process's exit status.
int RunMemoryProbe(int& argc, char** argv, const std::string& folder, int rounds);

// Starts the probe as a fresh process of this program, so that nothing the
// other measurements allocated counts, and checks its peak against three
// decoded frames, three files and 80 MB (80,000,000 bytes).
// `kind` names the folder's pictures in the row; `fileBytes` is its largest
// file.
Row MeasureMemory(const std::string& folder, const std::string& kind, const PictureSize& size,
                  long long fileBytes, int rounds);

} // namespace bench

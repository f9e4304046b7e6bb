#pragma once

#include <string>
#include <vector>

namespace bench {

// Info rows are shown for comparison and have no goal; Missing rows could
// not be measured (a reference command is not installed, a step failed).
enum class Verdict { Pass, Fail, Info, Missing };

// One line of the result table; cells are ready to print. A row starts as
// not measured.
struct Row {
    std::string Path;
    std::string Ours{"failed"};
    std::string Reference{"failed"};
    std::string Ratio{"-"};
    std::string Goal{"-"};
    Verdict Result = Verdict::Missing;
};

std::string FormatMs(double milliseconds);
std::string FormatRatio(double ratio);
std::string FormatMebibytes(double bytes);

// The rows as one aligned table under a header line.
std::string Table(const std::vector<Row>& rows);

// "all goals met", or "goals missed: " and the paths that missed their goal
// or could not be measured to check it.
std::string Summary(const std::vector<Row>& rows);

} // namespace bench

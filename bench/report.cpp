#include "report.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace bench {
namespace {

constexpr size_t kColumns = 6;

std::array<std::string, kColumns> cellsOf(const Row& row) {
    static const char* const verdicts[] = {"PASS", "FAIL", "info", "n/a"};
    return {row.Path,  row.Ours, row.Reference,
            row.Ratio, row.Goal, verdicts[static_cast<int>(row.Result)]};
}

// Width as shown: UTF-8 continuation bytes take no column.
size_t columnsOf(const std::string& text) {
    return static_cast<size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

} // namespace

std::string FormatMs(double milliseconds) {
    char text[32];
    std::snprintf(text, sizeof text, milliseconds < 10 ? "%.2f" : "%.1f", milliseconds);
    return text;
}

std::string FormatRatio(double ratio) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f×", ratio);
    return text;
}

std::string FormatMebibytes(double bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.0f MiB", bytes / (1024.0 * 1024.0));
    return text;
}

std::string Table(const std::vector<Row>& rows) {
    std::vector<std::array<std::string, kColumns>> lines;
    lines.push_back({"path", "ours (ms)", "reference (ms)", "ratio", "goal", "result"});
    for (const Row& row : rows)
        lines.push_back(cellsOf(row));

    std::array<size_t, kColumns> widths{};
    for (const auto& line : lines) {
        for (size_t c = 0; c < kColumns; ++c)
            widths[c] = std::max(widths[c], columnsOf(line[c]));
    }
    std::string table;
    const auto addLine = [&](const std::array<std::string, kColumns>& line) {
        for (size_t c = 0; c < kColumns; ++c) {
            // Numbers are right-aligned, names and goals left-aligned.
            const bool right = c >= 1 && c <= 3;
            const std::string pad(widths[c] - columnsOf(line[c]), ' ');
            table += right ? pad + line[c] : line[c] + (c + 1 < kColumns ? pad : "");
            if (c + 1 < kColumns)
                table += " | ";
        }
        table += '\n';
    };
    addLine(lines[0]);
    for (size_t c = 0; c < kColumns; ++c) {
        table += std::string(widths[c], '-');
        if (c + 1 < kColumns)
            table += "-+-";
    }
    table += '\n';
    for (size_t i = 1; i < lines.size(); ++i)
        addLine(lines[i]);
    return table;
}

std::string Summary(const std::vector<Row>& rows) {
    std::string missed;
    for (const Row& row : rows) {
        const bool hasGoal = row.Goal != "-";
        if (row.Result != Verdict::Fail && !(row.Result == Verdict::Missing && hasGoal))
            continue;
        if (!missed.empty())
            missed += "; ";
        missed += row.Path + (row.Result == Verdict::Missing ? " (not measured)" : "");
    }
    return missed.empty() ? "all goals met" : "goals missed: " + missed;
}

} // namespace bench

#include "memoryPaths.h"

#include "commands.h"
#include "mainWindow.h"
#include "pictureView.h"
#include "windowDriver.h"

#include <QApplication>
#include <QPushButton>

#include <climits>
#include <cstdio>
#include <exception>
#include <map>
#include <sstream>
#include <unistd.h>

namespace bench {
namespace {

constexpr double kMiB = 1024.0 * 1024.0;

void step(TForm1& form, QPushButton* button, bool waitForPreloads) {
    if (waitForPreloads)
        form.WaitForPreloads();
    button->click();
    form.Image2->repaint();
    QApplication::processEvents();
}

// The probe's "key value" lines.
std::map<std::string, long> keyValues(const std::string& output) {
    std::map<std::string, long> values;
    std::istringstream lines(output);
    std::string key;
    long value = 0;
    while (lines >> key >> value)
        values[key] = value;
    return values;
}

std::string thisProgram() {
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return {};
    return std::string(path, static_cast<size_t>(length));
}

} // namespace

int RunMemoryProbe(int& argc, char** argv, const std::string& folder, int rounds) {
    QApplication application(argc, argv);
    TForm1 form;
    ShowMainWindow(form);
    std::printf("baseline_kb %ld\n", CurrentResidentKb());
    try {
        OpenPictureFolder(form, folder);
        form.WaitForPreloads();
        std::printf("opened_kb %ld\n", PeakResidentKb());
        const int pictures = static_cast<int>(form.Images().files().size());
        for (int round = 0; round < rounds; ++round) {
            for (int i = 0; i < pictures; ++i)
                step(form, form.Button1, true);
        }
        std::printf("forward_kb %ld\n", PeakResidentKb());
        // Clicking faster than the preloads finish.
        for (int i = 0; i < pictures; ++i)
            step(form, form.Button1, false);
        form.WaitForPreloads();
        std::printf("rapid_kb %ld\n", PeakResidentKb());
        for (int i = 0; i < pictures; ++i)
            step(form, form.Button2, true);
        form.WaitForPreloads();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "memory probe failed: %s\n", error.what());
        return 1;
    }
    std::printf("peak_kb %ld\n", PeakResidentKb());
    return 0;
}

Row MeasureMemory(const std::string& folder, const std::string& kind, const PictureSize& size,
                  long long fileBytes, int rounds) {
    std::printf("measuring: peak memory while stepping %s (separate process)\n", kind.c_str());
    std::fflush(stdout);
    const double frame = static_cast<double>(size.Pixels()) * 4;
    const double limit = 3 * frame + 3 * static_cast<double>(fileBytes) + 80e6;

    Row row;
    row.Path = "peak memory stepping " + size.Label() + " " + kind;
    row.Goal = "≤ 3 frames + 3 files + 80 MB";
    row.Reference = FormatMebibytes(limit) + " limit";

    const std::optional<std::string> output =
        CaptureOutput({thisProgram(), kMemoryProbeArgument, folder, std::to_string(rounds)});
    const std::map<std::string, long> values =
        output ? keyValues(*output) : std::map<std::string, long>{};
    if (values.count("baseline_kb") == 0 || values.count("peak_kb") == 0) {
        std::fprintf(stderr, "  failed: the memory probe gave no result\n");
        return row;
    }
    const long baseline = values.at("baseline_kb"), peak = values.at("peak_kb");
    const double used = static_cast<double>(peak - baseline) * 1024;
    row.Ours = FormatMebibytes(used);
    row.Ratio = FormatRatio(used / limit);
    row.Result = used <= limit ? Verdict::Pass : Verdict::Fail;
    // Which phase reached the peak tells where to look.
    const auto above = [&values, baseline](const char* key) {
        const auto found = values.find(key);
        return FormatMebibytes(
            static_cast<double>((found != values.end() ? found->second : baseline) - baseline) *
            1024);
    };
    std::printf("  resident before opening the folder %s; peak above it after opening %s, "
                "stepping forward %s, stepping fast %s, stepping back %s\n",
                FormatMebibytes(static_cast<double>(baseline) * 1024).c_str(),
                above("opened_kb").c_str(), above("forward_kb").c_str(), above("rapid_kb").c_str(),
                above("peak_kb").c_str());
    return row;
}

} // namespace bench

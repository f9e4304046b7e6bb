#include "corePaths.h"

#include "commands.h"
#include "imageList.h"
#include "jpegFixtures.h"
#include "picture.h"
#include "timing.h"

#include <climits>
#include <cstdio>
#include <stdexcept>
#include <unistd.h>

namespace bench {
namespace {

std::string goalText(double maxRatio) {
    char text[32];
    std::snprintf(text, sizeof text, "≤ %.2f×", maxRatio);
    return text;
}

// A row comparing ours with the reference; without a goal when maxRatio is 0.
Row comparisonRow(std::string path, const Medians& medians, double maxRatio) {
    Row row;
    row.Path = std::move(path);
    if (medians.Ours)
        row.Ours = FormatMs(*medians.Ours);
    if (medians.Reference)
        row.Reference = FormatMs(*medians.Reference);
    if (maxRatio > 0)
        row.Goal = goalText(maxRatio);
    if (!medians.Ours || !medians.Reference || *medians.Reference <= 0)
        return row;
    const double ratio = *medians.Ours / *medians.Reference;
    row.Ratio = FormatRatio(ratio);
    if (maxRatio <= 0)
        row.Result = Verdict::Info;
    else
        row.Result = ratio <= maxRatio ? Verdict::Pass : Verdict::Fail;
    return row;
}

std::string workingDirectory() {
    char path[PATH_MAX];
    if (::getcwd(path, sizeof path) == nullptr)
        throw std::runtime_error("cannot read the working directory");
    return path;
}

} // namespace

Row MeasureScan(const std::string& folder, int entries, int expected, int runs) {
    const std::string home = workingDirectory();
    const TimedRun ours = [&]() -> std::optional<double> {
        browser::ImageList list;
        browser::ImageList::ScanOutcome outcome{};
        const double milliseconds = TimeMs([&] { outcome = list.Scan(folder); });
        // Opening a folder makes it the working directory; later steps must
        // not depend on that.
        if (::chdir(home.c_str()) != 0)
            throw std::runtime_error("cannot return to " + home);
        if (outcome != browser::ImageList::ScanOutcome::Listed ||
            static_cast<int>(list.files().size()) != expected)
            throw std::runtime_error("the scan listed " + std::to_string(list.files().size()) +
                                     " entries instead of " + std::to_string(expected));
        return milliseconds;
    };
    const TimedRun reference = [&] {
        return TimeCommandMs({"find", folder, "-maxdepth", "1", "-iname", "*.jpg"});
    };
    std::printf("measuring: scan of %s\n", folder.c_str());
    std::fflush(stdout);
    return comparisonRow("scan a folder of " + std::to_string(entries) + " entries",
                         CompareInTurns(runs, ours, reference), 0.35);
}

std::vector<Row> MeasureDecodes(const std::vector<PhotoFiles>& photos, size_t goalIndex, int runs,
                                int slowRuns) {
    std::vector<Row> rows;
    for (size_t i = 0; i < photos.size(); ++i) {
        const PhotoFiles& photo = photos[i];
        const bool largest = i + 1 == photos.size();
        for (const bool progressive : {false, true}) {
            const std::string& file = progressive ? photo.Progressive : photo.Baseline;
            const TimedRun ours = [&]() -> std::optional<double> {
                browser::TPicture picture; // fresh: nothing decoded before
                const browser::DecodedPixels* pixels = nullptr;
                const double milliseconds = TimeMs([&] {
                    picture.Load(file);
                    pixels = picture.Graphic()->Pixels();
                });
                if (pixels == nullptr || pixels->Width != photo.Size.Width ||
                    pixels->Height != photo.Size.Height)
                    throw std::runtime_error("no picture of the right size from " + file);
                return milliseconds;
            };
            const TimedRun reference = [&] {
                return TimeCommandMs({"djpeg", "-ppm", "-outfile", "/dev/null", file});
            };
            const std::string path =
                "load+decode " + photo.Size.Label() + (progressive ? " progressive" : " baseline");
            std::printf("measuring: %s\n", path.c_str());
            std::fflush(stdout);
            const Medians medians = CompareInTurns(largest ? slowRuns : runs, ours, reference);
            const double goal = i != goalIndex ? 0 : (progressive ? 0.65 : 0.9);
            rows.push_back(comparisonRow(path, medians, goal));
        }
    }
    return rows;
}

Row MeasureCopy(const std::string& source, const std::string& targetFolder, int runs) {
    browser::TPicture picture; // the picture on show
    picture.Load(source);
    const std::string ourCopy = targetFolder + "/copied-by-tollvane.jpg";
    const std::string referenceCopy = targetFolder + "/copied-by-cp.jpg";
    const std::vector<unsigned char> original = fixtures::ReadFile(source);

    // Each run writes a new file, as copying a picture not yet in the target
    // folder does.
    const TimedRun ours = [&]() -> std::optional<double> {
        ::unlink(ourCopy.c_str());
        const double milliseconds = TimeMs([&] { picture.Save(ourCopy); });
        if (fixtures::ReadFile(ourCopy) != original)
            throw std::runtime_error("the copy differs from " + source);
        return milliseconds;
    };
    const TimedRun reference = [&] {
        ::unlink(referenceCopy.c_str());
        return TimeCommandsMs({{"cp", source, referenceCopy}, {"sync", referenceCopy}});
    };
    char path[64];
    std::snprintf(path, sizeof path, "copy a %.1f MB picture (synced)",
                  static_cast<double>(original.size()) / 1e6);
    std::printf("measuring: %s\n", path);
    std::fflush(stdout);
    Row row = comparisonRow(path, CompareInTurns(runs, ours, reference), 2.0);
    ::unlink(ourCopy.c_str());
    ::unlink(referenceCopy.c_str());
    return row;
}

} // namespace bench

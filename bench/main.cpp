// Times the program's hot paths against reference commands measured in the
// same run, checks the peak memory of stepping through big pictures, and
// prints one table. Exits 0 even when a goal is missed: it is a report.

#include "corePaths.h"
#include "folderFixture.h"
#include "jpegFixtures.h"
#include "memoryPaths.h"
#include "memoryPolicy.h"
#include "photoFixtures.h"
#include "report.h"
#include "timing.h"
#include "windowDriver.h"
#include "windowPaths.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define BENCH_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define BENCH_SANITIZED 1
#endif
#endif

namespace {

struct Settings {
    bool Quick = false;
    std::vector<bench::PictureSize> Sizes;
    size_t GoalSize = 1; // the size whose rows carry the goals
    int Entries = 0;     // of the crowded folder
    int FolderPictures = 6;
    int Runs = 0;
    int SlowRuns = 0; // for the largest pictures
    int MemoryRounds = 0;
};

Settings settingsFor(bool quick) {
    Settings settings;
    settings.Quick = quick;
    if (quick) {
        settings.Sizes = {{1000, 750}, {1500, 1000}, {2048, 1366}};
        settings.Entries = 10'000;
        settings.Runs = settings.SlowRuns = 3;
        settings.MemoryRounds = 1;
    } else {
        settings.Sizes = {{4000, 3000}, {6000, 4000}, {8192, 5464}};
        settings.Entries = 100'000;
        settings.Runs = 7;
        settings.SlowRuns = 5;
        settings.MemoryRounds = 3;
    }
    return settings;
}

// A hung step (a message box waiting for a click that never comes) must not
// keep the benchmark running for ever.
void installWatchdog(unsigned seconds) {
    std::signal(SIGALRM, [](int) {
        static const char message[] = "tollvane_bench: stopped, a step took far too long\n";
        [[maybe_unused]] const ssize_t written =
            ::write(STDERR_FILENO, message, sizeof message - 1);
        ::_exit(3);
    });
    ::alarm(seconds);
}

void printBuild() {
    const std::string type = TOLLVANE_BUILD_TYPE;
    std::printf("build type: %s, %u cores\n", type.empty() ? "(none)" : type.c_str(),
                std::thread::hardware_concurrency());
    // Other work on the machine slows both sides alike, but makes the
    // numbers noisier; say how busy it was.
    if (std::FILE* load = std::fopen("/proc/loadavg", "r")) {
        double minute = 0;
        if (std::fscanf(load, "%lf", &minute) == 1)
            std::printf("load average at start: %.2f\n", minute);
        std::fclose(load);
    }
#ifndef __OPTIMIZE__
    std::printf("WARNING: built without optimisation; configure with "
                "-DCMAKE_BUILD_TYPE=Release for meaningful numbers\n");
#endif
#ifdef BENCH_SANITIZED
    std::printf("WARNING: built with AddressSanitizer; times and memory are not meaningful\n");
#endif
}

std::string makeFolder(const std::string& path) {
    std::filesystem::create_directories(path);
    return path;
}

std::vector<bench::PhotoFiles> makePhotos(const Settings& settings, const std::string& folder) {
    std::vector<bench::PhotoFiles> photos;
    for (size_t i = 0; i < settings.Sizes.size(); ++i) {
        const bench::PictureSize& size = settings.Sizes[i];
        const double milliseconds = bench::TimeMs([&] {
            photos.push_back(bench::WritePhoto(folder, size, static_cast<std::uint32_t>(i + 1)));
        });
        std::printf("made %s (%dx%d): baseline %.1f MB, progressive %.1f MB in %.1f s\n",
                    size.Label().c_str(), size.Width, size.Height,
                    static_cast<double>(bench::FileSize(photos.back().Baseline)) / 1e6,
                    static_cast<double>(bench::FileSize(photos.back().Progressive)) / 1e6,
                    milliseconds / 1000);
        std::fflush(stdout);
    }
    return photos;
}

// A folder to step through: copies of one photograph, baseline only as a
// camera writes them, or baseline and progressive by turns (a progressive
// decode holds the whole picture's coefficients). Returns the copies.
std::vector<std::string> fillPictureFolder(const std::string& folder,
                                           const bench::PhotoFiles& photo, int count, bool mixed) {
    makeFolder(folder);
    std::vector<std::string> files;
    for (int i = 0; i < count; ++i) {
        files.push_back(folder + "/picture-" + std::to_string(i + 1) + ".jpg");
        std::filesystem::copy_file(mixed && i % 2 == 1 ? photo.Progressive : photo.Baseline,
                                   files.back());
    }
    return files;
}

int runAll(int& argc, char** argv, const Settings& settings) {
    printBuild();
    const fixtures::TempDir work;
    const std::string home = makeFolder(work.File("home"));
    // Sub-folders of the Desktop, which the folder chooser lists at its top.
    const std::string cameraFolder = home + "/Desktop/camera";
    const std::string mixedFolder = home + "/Desktop/mixed";
    const std::string photoFolder = makeFolder(work.File("photos"));
    const std::string crowdedFolder = makeFolder(work.File("crowded"));
    const std::string targetFolder = makeFolder(work.File("target"));
    bench::PrepareWindowEnvironment(home);

    const std::vector<bench::PhotoFiles> photos = makePhotos(settings, photoFolder);
    const bench::PhotoFiles& goalPhoto = photos[settings.GoalSize];
    const std::vector<std::string> cameraPictures =
        fillPictureFolder(cameraFolder, goalPhoto, settings.FolderPictures, false);
    fillPictureFolder(mixedFolder, goalPhoto, settings.FolderPictures, true);
    const long long baselineBytes = bench::FileSize(goalPhoto.Baseline);
    const long long largestBytes = std::max(baselineBytes, bench::FileSize(goalPhoto.Progressive));

    std::vector<bench::Row> rows;
    // First, while nothing else has run in any process.
    rows.push_back(bench::MeasureMemory(cameraFolder, "baseline pictures", goalPhoto.Size,
                                        baselineBytes, settings.MemoryRounds));
    rows.push_back(bench::MeasureMemory(mixedFolder, "baseline+progressive", goalPhoto.Size,
                                        largestBytes, settings.MemoryRounds));

    const bench::FolderMix mix = bench::MixFor(settings.Entries);
    const double folderMs = bench::TimeMs([&] { bench::MakeCrowdedFolder(crowdedFolder, mix); });
    std::printf("made a folder of %d entries in %.1f s\n", mix.Total(), folderMs / 1000);
    rows.push_back(bench::MeasureScan(crowdedFolder, mix.Total(), mix.Matching(), settings.Runs));

    // Making the fixtures left a large free heap behind; the decoder's
    // buffers would find touched pages there that the program never has.
    browser::ReturnFreeHeapPages();
    for (bench::Row& row :
         bench::MeasureDecodes(photos, settings.GoalSize, settings.Runs, settings.SlowRuns))
        rows.push_back(std::move(row));
    rows.push_back(bench::MeasureCopy(goalPhoto.Baseline, targetFolder, settings.Runs));
    rows.push_back(bench::MeasureNextPicture(argc, argv, cameraFolder,
                                             {cameraPictures[0], cameraPictures[1]}, goalPhoto.Size,
                                             settings.Runs));

    std::printf("\nmedians of %d runs (%d for the largest pictures)%s\n\n", settings.Runs,
                settings.SlowRuns, settings.Quick ? ", quick run: small pictures" : "");
    std::printf("%s\n%s\n", bench::Table(rows).c_str(), bench::Summary(rows).c_str());
    return 0;
}

void printUsage() {
    std::printf("usage: tollvane_bench [--quick]\n"
                "  --quick  small pictures and few runs, to check that it works\n");
}

} // namespace

int main(int argc, char** argv) {
    // As the program does at start: the memory policy shapes decode times.
    browser::KeepFreedMemoryForReuse();
    if (argc == 4 && std::strcmp(argv[1], bench::kMemoryProbeArgument) == 0) {
        installWatchdog(600);
        return bench::RunMemoryProbe(argc, argv, argv[2], std::atoi(argv[3]));
    }
    bool quick = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0) {
            quick = true;
        } else {
            printUsage();
            return std::strcmp(argv[i], "--help") == 0 ? 0 : 2;
        }
    }
    installWatchdog(1800);
    try {
        return runAll(argc, argv, settingsFor(quick));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tollvane_bench: %s\n", error.what());
        return 1;
    }
}

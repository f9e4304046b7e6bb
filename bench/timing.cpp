#include "timing.h"

#include <algorithm>
#include <cstdio>
#include <exception>

namespace bench {

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> samples) {
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const size_t middle = samples.size() / 2;
    if (samples.size() % 2 == 1)
        return samples[middle];
    return (samples[middle - 1] + samples[middle]) / 2;
}

namespace {

// Runs one side unless it already failed; false when it fails now.
bool runSide(const TimedRun& side, std::vector<double>* samples, bool* failed) {
    if (*failed)
        return false;
    std::optional<double> milliseconds;
    try {
        milliseconds = side();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "  failed: %s\n", error.what());
    }
    if (!milliseconds) {
        *failed = true;
        return false;
    }
    if (samples != nullptr)
        samples->push_back(*milliseconds);
    return true;
}

} // namespace

Medians CompareInTurns(int runs, const TimedRun& ours, const TimedRun& reference) {
    std::vector<double> oursSamples, referenceSamples;
    bool oursFailed = false, referenceFailed = false;
    runSide(ours, nullptr, &oursFailed);
    runSide(reference, nullptr, &referenceFailed);
    for (int run = 0; run < runs; ++run) {
        runSide(ours, &oursSamples, &oursFailed);
        runSide(reference, &referenceSamples, &referenceFailed);
    }
    Medians medians;
    if (!oursFailed)
        medians.Ours = Median(oursSamples);
    if (!referenceFailed)
        medians.Reference = Median(referenceSamples);
    return medians;
}

} // namespace bench

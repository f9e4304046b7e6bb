#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start);

// Runs the work once and returns how long it took.
template <typename Work> double TimeMs(Work&& work) {
    const Clock::time_point start = Clock::now();
    work();
    return MillisecondsSince(start);
}

// The middle of the samples (the mean of the two middle ones for an even
// count): one slow run, from another process or a page-cache miss, does not
// move it. Zero for no samples.
double Median(std::vector<double> samples);

// One timed run of a side; nullopt when it failed.
using TimedRun = std::function<std::optional<double>()>;

struct Medians {
    std::optional<double> Ours;
    std::optional<double> Reference;
};

// Runs each side once untimed to warm the caches, then `runs` times taking
// turns, so that both meet the same machine state, and returns the medians.
// A side that fails once (or throws) has no median; the message goes to
// standard error.
Medians CompareInTurns(int runs, const TimedRun& ours, const TimedRun& reference);

} // namespace bench

#pragma once

#include <optional>
#include <string>
#include <vector>

namespace bench {

// Runs a program (found on PATH) with its standard output sent to /dev/null
// and waits for it. Nullopt when it cannot be started or does not exit with
// status 0; otherwise how long it took, process start and exit included, as
// a user waits for it.
std::optional<double> TimeCommandMs(const std::vector<std::string>& arguments);

// Runs the commands one after the other, each only when the one before
// succeeded (as a shell's `&&` does, without starting a shell), and times
// them together.
std::optional<double> TimeCommandsMs(const std::vector<std::vector<std::string>>& commands);

// Runs a program and returns what it wrote to its standard output; its
// standard error goes where ours goes. Nullopt when it cannot be started or
// does not exit with status 0.
std::optional<std::string> CaptureOutput(const std::vector<std::string>& arguments);

// True when a program of that name is on PATH.
bool CommandExists(const std::string& name);

} // namespace bench

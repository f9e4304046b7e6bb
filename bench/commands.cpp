#include "commands.h"

#include "timing.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace bench {
namespace {

// argv for posix_spawn: pointers into the strings, ending in a null.
std::vector<char*> argvOf(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    return argv;
}

// Starts the program with the given standard output; -1 when it cannot start.
pid_t start(const std::vector<std::string>& arguments, int outputFd, const char* outputPath) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (outputPath != nullptr)
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputPath, O_WRONLY, 0);
    else if (outputFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, outputFd, STDOUT_FILENO);
    pid_t pid = -1;
    std::vector<char*> argv = argvOf(arguments);
    const int error = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? pid : -1;
}

bool exitedWell(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool runQuietly(const std::vector<std::string>& arguments) {
    const pid_t pid = start(arguments, -1, "/dev/null");
    return pid > 0 && exitedWell(pid);
}

} // namespace

std::optional<double> TimeCommandMs(const std::vector<std::string>& arguments) {
    return TimeCommandsMs({arguments});
}

std::optional<double> TimeCommandsMs(const std::vector<std::vector<std::string>>& commands) {
    const Clock::time_point begin = Clock::now();
    for (const std::vector<std::string>& command : commands) {
        if (!runQuietly(command))
            return std::nullopt;
    }
    return MillisecondsSince(begin);
}

std::optional<std::string> CaptureOutput(const std::vector<std::string>& arguments) {
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return std::nullopt;
    const pid_t pid = start(arguments, pipeFds[1], nullptr);
    ::close(pipeFds[1]);
    std::string output;
    char chunk[4096];
    ssize_t got = 0;
    while ((got = ::read(pipeFds[0], chunk, sizeof chunk)) != 0) {
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            break;
        output.append(chunk, static_cast<size_t>(got));
    }
    ::close(pipeFds[0]);
    if (pid <= 0 || !exitedWell(pid))
        return std::nullopt;
    return output;
}

bool CommandExists(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/bin:/bin";
    size_t from = 0;
    while (from <= folders.size()) {
        size_t to = folders.find(':', from);
        if (to == std::string::npos)
            to = folders.size();
        const std::string candidate = folders.substr(from, to - from) + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0)
            return true;
        from = to + 1;
    }
    return false;
}

} // namespace bench

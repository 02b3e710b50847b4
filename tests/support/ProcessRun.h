#pragma once

// Runs the real salvora-cli as a process, with standard output and error caught in files.
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/TemporaryFolder.h"

extern char** environ;

namespace salvora::test {

struct ProcessResult {
    int status = -1;  // the exit status, or -1 when the process did not exit normally
    std::string out;
    std::string err;
};

inline std::vector<char*> argumentVector(const std::string& program,
                                         const std::vector<std::string>& args) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    return argv;
}

inline int exitStatusOf(pid_t child) {
    int waitStatus = 0;
    ::waitpid(child, &waitStatus, 0);
    return WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : -1;
}

// Standard input is the given text, or /dev/null.
inline ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                                const std::optional<std::string>& standardInput = std::nullopt) {
    TemporaryFolder streams;
    const std::string inPath = streams / "in";
    const std::string outPath = streams / "out";
    const std::string errPath = streams / "err";
    writeFile(inPath, standardInput.value_or(""));
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, standardInput ? inPath.c_str() : "/dev/null",
                                     O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT, 0600);

    auto argv = argumentVector(program, args);
    pid_t child = 0;
    ProcessResult result;
    if (::posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
        result.status = exitStatusOf(child);
        result.out = readText(outPath);
        result.err = readText(errPath);
    }
    posix_spawn_file_actions_destroy(&actions);
    return result;
}

// Everything the terminal's other end receives until `wanted` has come (or, with no `wanted`,
// until the program closes it). A program that stays silent for seconds ends the reading, so
// a failing test can't hang.
inline void readTerminal(int terminal, std::string& shown, std::optional<std::string_view> wanted) {
    char buffer[256];
    while (!wanted || shown.find(*wanted) == std::string::npos) {
        pollfd ready{terminal, POLLIN, 0};
        if (::poll(&ready, 1, 10'000) <= 0) break;
        ssize_t got = ::read(terminal, buffer, sizeof buffer);
        if (got <= 0) break;  // EIO once the program has closed its end
        shown.append(buffer, static_cast<std::size_t>(got));
    }
}

// Runs the program with standard input and error on a new pseudo-terminal, as from a shell
// in a terminal window; once the terminal shows `prompt`, types `typed`. `err` is all the
// terminal showed.
inline ProcessResult runOnTerminal(const std::string& program, const std::vector<std::string>& args,
                                   std::string_view prompt, const std::string& typed) {
    TemporaryFolder streams;
    const std::string outPath = streams / "out";
    ProcessResult result;
    int terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (terminal < 0 || ::grantpt(terminal) != 0 || ::unlockpt(terminal) != 0) return result;
    const std::string user = ::ptsname(terminal);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, user.c_str(), O_RDWR, 0);
    posix_spawn_file_actions_adddup2(&actions, 0, 2);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT, 0600);
    auto argv = argumentVector(program, args);
    pid_t child = 0;
    if (::posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
        readTerminal(terminal, result.err, prompt);
        if (::write(terminal, typed.data(), typed.size()) < 0) result.err += "(could not type)";
        readTerminal(terminal, result.err, std::nullopt);
        result.status = exitStatusOf(child);
        result.out = readText(outPath);
    }
    posix_spawn_file_actions_destroy(&actions);
    ::close(terminal);
    return result;
}

}  // namespace salvora::test

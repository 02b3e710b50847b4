#pragma once

// Runs the real salvora-cli as a process, with standard output and error caught in files.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <string>
#include <vector>

#include "support/TemporaryFolder.h"

extern char** environ;

namespace salvora::test {

struct ProcessResult {
    int status = -1;  // the exit status, or -1 when the process did not exit normally
    std::string out;
    std::string err;
};

inline ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args) {
    TemporaryFolder streams;
    const std::string outPath = streams / "out";
    const std::string errPath = streams / "err";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT, 0600);

    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t child = 0;
    ProcessResult result;
    if (::posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
        int waitStatus = 0;
        ::waitpid(child, &waitStatus, 0);
        if (WIFEXITED(waitStatus)) result.status = WEXITSTATUS(waitStatus);
        result.out = readText(outPath);
        result.err = readText(errPath);
    }
    posix_spawn_file_actions_destroy(&actions);
    return result;
}

}  // namespace salvora::test

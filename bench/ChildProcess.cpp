#include "bench/ChildProcess.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "bench/Measure.h"

extern char** environ;

namespace salvora::bench {
namespace {

constexpr std::string_view measureFlag = "--measure-into";

std::vector<char*> pointersTo(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

int waitFor(pid_t child, struct rusage& usage) {
    int status = 0;
    while (::wait4(child, &status, 0, &usage) < 0) {
        if (errno != EINTR) return -1;
    }
    return status;
}

}  // namespace

ChildRun runChild(const std::vector<std::string>& arguments, const std::string& outputPath,
                  const std::vector<std::string>& environment) {
    const std::string resultPath = outputPath + ".measured";
    std::vector<std::string> argumentTexts{std::filesystem::read_symlink("/proc/self/exe").string(),
                                           std::string(measureFlag), resultPath, "--"};
    argumentTexts.insert(argumentTexts.end(), arguments.begin(), arguments.end());
    std::vector<std::string> environmentTexts = environment;
    for (char** entry = environ; *entry != nullptr; ++entry) environmentTexts.emplace_back(*entry);
    std::vector<char*> argv = pointersTo(argumentTexts);
    std::vector<char*> envp = pointersTo(environmentTexts);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t measurer = 0;
    const bool started =
        posix_spawn(&measurer, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0;
    posix_spawn_file_actions_destroy(&actions);
    ChildRun run;
    if (!started) return run;
    struct rusage ignored {};
    const int status = waitFor(measurer, ignored);
    std::ifstream result(resultPath);
    result >> run.seconds >> run.processorSeconds >> run.peakResidentKiB;
    run.succeeded = result && status == 0;
    std::filesystem::remove(resultPath);
    return run;
}

int measuringMain(int argc, char** argv) {
    if (argc < 5 || argv[1] != measureFlag || std::strcmp(argv[3], "--") != 0) return -1;
    pid_t child = 0;
    int status = -1;
    struct rusage usage {};
    const double elapsed = secondsOf([&] {
        child = ::fork();
        if (child == 0) {
            ::execvp(argv[4], argv + 4);
            ::_exit(127);
        }
        if (child > 0) status = waitFor(child, usage);
    });
    const auto secondsIn = [](const timeval& time) {
        return double(time.tv_sec) + time.tv_usec / 1e6;
    };
    std::ofstream(argv[2]) << elapsed << ' '
                           << secondsIn(usage.ru_utime) + secondsIn(usage.ru_stime) << ' '
                           << usage.ru_maxrss << '\n';
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

}  // namespace salvora::bench

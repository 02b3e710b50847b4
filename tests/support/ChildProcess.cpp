#include "support/ChildProcess.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

namespace salvora::test {
namespace {

bool becomeUnprivileged() {
    if (::geteuid() != 0) return true;
    return ::setgroups(0, nullptr) == 0 && ::setgid(unprivilegedId) == 0 &&
           ::setuid(unprivilegedId) == 0 && ::setuid(0) != 0;
}

}  // namespace

int runInChild(const std::function<int()>& body, ChildOptions options) {
    // Output buffered before the fork would otherwise be written twice.
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child < 0) throw std::runtime_error("fork failed");
    if (child == 0) {
        ::alarm(options.watchdogSeconds);
        if (options.unprivileged && !becomeUnprivileged()) ::_exit(255);
        const int result = body();
        std::fflush(nullptr);
        ::_exit(result);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) == 255) return -1;
    return WEXITSTATUS(status);
}

void handOverToUnprivilegedUser(const std::string& path) {
    if (::geteuid() != 0) return;
    auto handOver = [](const std::filesystem::path& item) {
        if (::lchown(item.c_str(), unprivilegedId, unprivilegedId) != 0)
            throw std::runtime_error("could not hand over " + item.string());
    };
    handOver(path);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path))
        handOver(entry.path());
}

}  // namespace salvora::test

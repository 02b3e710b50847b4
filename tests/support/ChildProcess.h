#pragma once

// Test bodies run in a forked child: as an unprivileged user, because permissions don't bind
// root and CI runs the tests as root; and under a watchdog, for cases that would otherwise
// hang the whole run if their protection were gone.
#include <functional>
#include <string>

namespace salvora::test {

// The user and group the child becomes when the tests run as root ("nobody", "nogroup").
inline constexpr unsigned unprivilegedId = 65534;

struct ChildOptions {
    bool unprivileged = false;
    // The child is ended by SIGALRM when it runs longer than this.
    unsigned watchdogSeconds = 60;
};

// Runs `body` in a forked child and returns what it returned (0 for success, by convention);
// -1 when the child could not give up root or ended by a signal (the watchdog's included).
// The child leaves with _exit, so none of the parent's destructors (a TemporaryFolder's, say)
// or exit handlers run in it.
int runInChild(const std::function<int()>& body, ChildOptions options = {});

// Gives the path and everything below it to the unprivileged user, so the child can work
// there; does nothing unless the tests run as root. Links are handed over themselves.
void handOverToUnprivilegedUser(const std::string& path);

}  // namespace salvora::test

#pragma once

// Expectations checked in a forked child (support/ChildProcess.h): a failed one there, an
// early end by a signal or the watchdog, or rights that could not be given up, fail the test.
#include <gtest/gtest.h>

#include <functional>

#include "support/ChildProcess.h"

namespace salvora::test {

inline void expectInChild(const std::function<void()>& body, ChildOptions options = {}) {
    const int result = runInChild(
        [&] {
            body();
            return testing::Test::HasFailure() ? 1 : 0;
        },
        options);
    EXPECT_EQ(result, 0) << (result < 0 ? "the child was stopped, or could not give up root"
                                        : "an expectation failed in the child");
}

// As the unprivileged user: permissions bind, even when the tests run as root.
inline void expectAsUnprivilegedUser(const std::function<void()>& body) {
    expectInChild(body, {.unprivileged = true});
}

}  // namespace salvora::test

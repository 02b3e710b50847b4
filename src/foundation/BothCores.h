#pragma once

// Two pieces of work at once, one on a thread of its own: a catalogue build splits its largest
// read so that both cores of a small machine take part.
#include <exception>
#include <thread>

namespace salvora {

// Runs `besides` on a second thread while `here` runs on this one; returns once both are done,
// rethrowing what either threw.
template <typename Here, typename Besides>
void runOnBothCores(Here&& here, Besides&& besides) {
    std::exception_ptr failure;
    std::thread second([&] {
        try {
            besides();
        } catch (...) {
            failure = std::current_exception();
        }
    });
    try {
        here();
    } catch (...) {
        second.join();
        throw;
    }
    second.join();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace salvora

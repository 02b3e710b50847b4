#pragma once

// A thread for work that may as well run where it is asked for: where the system refuses
// another thread (std::thread throws std::system_error), the caller does the work itself.
#include <optional>
#include <system_error>
#include <thread>

namespace salvora {

// A thread running a copy of `work`; none, after no work is done, when the system refuses it.
// A std::jthread hands `work` its stop token.
template <typename Thread = std::thread, typename Work>
std::optional<Thread> spareThread(const Work& work) {
    try {
        return std::optional<Thread>(std::in_place, work);
    } catch (const std::system_error&) {
        return std::nullopt;
    }
}

}  // namespace salvora

#pragma once

// Two pieces of work at once, one on a thread of its own: a catalogue build splits its largest
// read so that both cores of a small machine take part.
#include <cstddef>
#include <exception>
#include <optional>
#include <thread>

#include "foundation/SpareThread.h"

namespace salvora {

// Runs `besides` on a second thread while `here` runs on this one; returns once both are done,
// rethrowing what either threw. Where the system gives no thread, both run here in turn.
template <typename Here, typename Besides>
void runOnBothCores(Here&& here, Besides&& besides) {
    std::exception_ptr failure;
    std::optional<std::thread> second = spareThread([&] {
        try {
            besides();
        } catch (...) {
            failure = std::current_exception();
        }
    });
    if (!second) {
        here();
        besides();
        return;
    }
    try {
        here();
    } catch (...) {
        second->join();
        throw;
    }
    second->join();
    if (failure) std::rethrow_exception(failure);
}

// Which part of a read that halves a reader is asked for.
enum class ReadHalf { Whole, First, Second };

// A read that halves, over both cores when it is worth it: below `worthSplitting` units of work
// the whole is read through `reader`; otherwise the first half through it while the second half
// is read on another thread through the reader `openAnother` gives (something that tests false
// when none could be opened: the second half is then read through `reader` afterwards).
// `read(reader, half)` says whether that part was read whole; so does the result, for all parts.
template <typename Reader, typename OpenAnother, typename Read>
bool readInHalves(std::size_t amount, std::size_t worthSplitting, Reader& reader,
                  OpenAnother&& openAnother, Read&& read) {
    if (amount < worthSplitting) return read(reader, ReadHalf::Whole);
    bool firstRead = false;
    bool secondTried = false;
    bool secondRead = false;
    runOnBothCores([&] { firstRead = read(reader, ReadHalf::First); },
                   [&] {
                       if (auto other = openAnother()) {
                           secondTried = true;
                           secondRead = read(*other, ReadHalf::Second);
                       }
                   });
    if (!secondTried) secondRead = read(reader, ReadHalf::Second);
    return firstRead && secondRead;
}

}  // namespace salvora

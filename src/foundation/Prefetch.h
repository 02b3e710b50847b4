#pragma once

// Hints that memory will soon be read or written, for walks over a million records whose
// texts lie spread over a hundred megabytes: fetched ahead, they don't wait for memory.

namespace salvora {

inline void prefetchForWriting([[maybe_unused]] const void* address) {
#if defined(__GNUC__)
    __builtin_prefetch(address, 1);
#endif
}

inline void prefetchForReading([[maybe_unused]] const void* address) {
#if defined(__GNUC__)
    __builtin_prefetch(address, 0);
#endif
}

}  // namespace salvora

#pragma once

// Memory a catalogue fills at once. Linux can back it with 2 MiB pages (transparent huge pages,
// when the system leaves them to the program's advice), so that filling it takes one page fault
// where it took 512: for a million records the faults were a third of a build's time. Only
// whole large pages can be, so a large allocation starts on a large page's boundary.
#include <cstddef>
#include <memory>
#include <new>

namespace salvora {

// `size` bytes, uninitialised, advised onto large pages where the system offers them; released
// only by releaseLarge with the same size.
[[nodiscard]] std::byte* allocateLarge(std::size_t size);
void releaseLarge(std::byte* data, std::size_t size) noexcept;

// Has the system map in the pages of [data, data + size) for writing, without changing what
// they hold, so that whoever writes there next doesn't wait on page faults; does nothing where
// the system can't. Safe while others write to the same memory.
void populateForWriting(void* data, std::size_t size) noexcept;

// Owns memory allocateLarge gave.
class LargeRelease {
  public:
    explicit LargeRelease(std::size_t size = 0) : size_(size) {}
    void operator()(std::byte* data) const noexcept { releaseLarge(data, size_); }

  private:
    std::size_t size_;
};
using LargeBlock = std::unique_ptr<std::byte[], LargeRelease>;

inline LargeBlock makeLargeBlock(std::size_t size) {
    return LargeBlock(allocateLarge(size), LargeRelease(size));
}

// For a vector filled at once: its room comes from allocateLarge.
template <typename T>
struct LargePageAllocator {
    using value_type = T;

    LargePageAllocator() = default;
    template <typename U>
    explicit LargePageAllocator(const LargePageAllocator<U>&) noexcept {}

    T* allocate(std::size_t count) {
        static_assert(alignof(T) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__);
        return reinterpret_cast<T*>(allocateLarge(count * sizeof(T)));
    }
    void deallocate(T* data, std::size_t count) noexcept {
        releaseLarge(reinterpret_cast<std::byte*>(data), count * sizeof(T));
    }

    template <typename U>
    bool operator==(const LargePageAllocator<U>&) const noexcept {
        return true;
    }
};

}  // namespace salvora
